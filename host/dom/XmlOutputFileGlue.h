#pragma once
// presdom: the host's DOM glue. A glue object is attached to one document of the host's
// document registry and reads and writes it by namespace-aware XPath.
//
// XPath text uses the prefix "NS" (GetNameSpaceString) for the namespace of the document
// element, whatever prefix the file itself uses; a document without namespace works the same
// way. "." and relative paths are evaluated from the document element. Where a path selects
// several elements, reads and writes act on the first. Bad XPath text, an empty path or a path
// that selects nothing makes an operation fail; nothing is thrown.

#include <string>

#include "host/objects/HostTypes.h"

class CzfServiceObject;

class CXMLOutputFileGlue {
public:
    // Attached to nothing.
    CXMLOutputFileGlue();
    // A new document whose element is "root" in the given namespace, added to the registry.
    CXMLOutputFileGlue(const char* namespaceUri, CzfServiceObject* service);
    // Attached to a document of the registry.
    CXMLOutputFileGlue(unsigned domId, const char* name, CzfServiceObject* service);
    // Releases the glue only; the document lives on in the registry.
    ~CXMLOutputFileGlue();

    CXMLOutputFileGlue(const CXMLOutputFileGlue&) = delete;
    CXMLOutputFileGlue& operator=(const CXMLOutputFileGlue&) = delete;

    // Leaves any earlier document first. False for an identifier the registry does not hold;
    // the glue is then detached.
    bool Attach(unsigned domId, CzfServiceObject* service);
    void Detach();
    // 0 when detached.
    unsigned GetDOMId() const;
    // "NS"; owned by the glue.
    const char* GetNameSpaceString() const;

    bool AddNode(const char* parentXPath, const char* name, const char* id);
    bool SetNodeAttribute(const char* xpath, const char* name, const char* value);
    // On success *value is a new[] string the caller frees with delete[].
    bool GetNodeAttribute(const char* xpath, const char* name, char** value);
    bool GetAttributeByID(const char* id, const char* name, char** value);
    // Elements only, in document order. On success with no match: true, *nodes null, *count 0.
    // Release the list with CreatorSetToolBox::freeNodeInfo.
    bool SelectNodes(const char* xpath, _NODE_INFO*** nodes, int* count);

    // The rendering model: the layer is the 0-based position of the element's enclosing
    // top-level "container" under /root/layout (0 outside the layout); the page is the integer
    // value of its "page" attribute, else -1. False when no element carries the id.
    bool GetNodeLayerPageByID(const char* id, int* layer, int* page);
    // Renders the element into a 32-bit bitmap and an 8-bit mask bitmap (its alpha), each a
    // new[] byte block starting with the header, freed with delete[] of the bytes. False unless
    // the element lies on the layer and page asked for (no page or a negative one: page 0) and
    // the type is 7 (normal) or 8 (focus).
    bool GetNodeBufferByID(const char* id, int layer, int page, CAppDocEditorCtrl::RenderType type,
                           RECT* rect, BITMAPINFOHEADER** image, BITMAPINFOHEADER** mask);
    // Each identifier of "thumbnailId" gives (4, identifier), then each of "textId" (24,
    // identifier); the attributes are lists separated by white space.
    bool GetNavigationListByID(const char* id, _NAVIGATION_NODE** list, int* count);

    // UTF-8, indented; the same document always gives the same bytes.
    bool SaveXMLFile(const char* path);

private:
    unsigned domId_ = 0;
};
