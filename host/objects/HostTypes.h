#pragma once
// Plain types shared between the host and the component.

#include <cstdint>

// Device-independent bitmap header: the pixels follow the header (after the colour table for
// 8-bit bitmaps). Rows are bottom-up when biHeight is positive and padded to 4 bytes.
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The host's project record. The component never looks inside; image tracks and media holders
// keep a copy of it.
struct SAVEDATA {
    char projectName[64];
    uint32_t revision;
};

class CAppDocEditorCtrl {
public:
    enum RenderType {
        RenderTypeNormal = 7,
        RenderTypeFocus = 8,
    };
};

class ApplicationDoc {
public:
    enum TagNode {
        TagNodeThumbnail = 4,
        TagNodeText = 24,
    };
};

// One node found by CXMLOutputFileGlue::SelectNodes. Both strings are new[] arrays, the record
// is made with new and the array of record pointers with new[]; CreatorSetToolBox::freeNodeInfo
// releases all of it.
struct _NODE_INFO {
    char* name;  // local name
    char* id;    // value of the "id" attribute, null when the element has none
};

// One entry of CXMLOutputFileGlue::GetNavigationListByID. The list is a new[] array; each id is
// a new[] string. The caller frees each id and then the array with delete[].
struct _NAVIGATION_NODE {
    ApplicationDoc::TagNode kind;
    char* id;
};
