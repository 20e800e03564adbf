#pragma once
// Static operations the whole component shares: where the host program lives, the template
// folders and the search for image files in them, two small DOM queries, node-list release,
// and (imagetrack/) the making of image tracks.

#include <string>

#include "host/dom/XmlOutputFileGlue.h"
#include "host/framework/AppFramework.h"
#include "host/objects/ErrorInfo.h"
#include "host/objects/HostTypes.h"
#include "host/pictures/DvdBuf.h"
#include "merrowkit/Export.h"

class CzfServiceObject;
class ImageTrackCreator;

class MERROWKIT_API CreatorSetToolBox {
public:
    // The host program's folder, with a trailing separator.
    static std::string getModulePath();
    // The root of the drive that holds the host program: "/" here.
    static std::string getModuleFileDriverPath();
    // The file itself when it exists, else the copy found in the calendar template folder, else
    // the one in the application template folder, else "".
    static std::string imagePathProcess(const char* file);
    static bool isElementExist(CXMLOutputFileGlue& doc, std::string xpath);
    static void freeNodeInfo(_NODE_INFO*** nodes, int count);

    // Image tracks (imagetrack/ImageTrackToolBox.cpp).
    static bool createImageTrack(CzfServiceObject** out, const char* file, SAVEDATA* record,
                                 CzfErrorInfo* error);
    static bool createImageTrack(CzfServiceObject** out, BITMAPINFOHEADER* image,
                                 BITMAPINFOHEADER* mask, SAVEDATA* record, CzfErrorInfo* error);
    static bool createFailImageTrack(CzfServiceObject** out, SAVEDATA* record, CzfErrorInfo* error);
    static std::string addImageTrackToApplication(CzfServiceObject* presentation,
                                                  CzfServiceObject** out,
                                                  ImageTrackCreator& creator);
    // Hands a track to the presentation's track collection. False, and the track stays the
    // caller's, when there is no collection or it refuses the track.
    static bool registerImageTrack(CzfServiceObject* presentation, CzfServiceObject* track);

    static constexpr const char* kCalendarTemplateFolder =
        "Content/Menu Template/HD Popup/16x9/BD Calendar/";
    static constexpr const char* kApplicationTemplateFolder =
        "Content/Menu Template/BD Application/";
    static constexpr char kSeparator = '/';

private:
    CreatorSetToolBox() = default;
    ~CreatorSetToolBox() = default;

    static const std::string& fullPath();
    static CString getContentTemplatePath(const char* sub);
    static void findFile(CString& found, CString& folder, const char* name);
    static bool createImageTrack(CzfServiceObject** out, CDVDBuf* colour, CDVDBuf* alpha,
                                 SAVEDATA* record, CzfErrorInfo* error);

    // The host program's full path, filled on first use and never refreshed.
    static std::string m_fullpath;

    friend class CreatorSetToolBoxTestAccess;
};
