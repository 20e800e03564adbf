#include <string>

#include "creator/BDJCalendarApplicationCreator.h"

// The picture shown while the calendar application starts, centred on the screen.
bool CBDJCalendarApplicationCreator::addLoadingAnimationElement(CXMLOutputFileGlue& doc) {
    try {
        doc.AddNode(".", "firstplay", nullptr);
        const std::string path = std::string(doc.GetNameSpaceString()) + ":" + "firstplay";
        doc.SetNodeAttribute(path.c_str(), "image", "data\\Loading.png");
        doc.SetNodeAttribute(path.c_str(), "x", "858");
        doc.SetNodeAttribute(path.c_str(), "y", "484");
        return true;
    } catch (...) {
        return false;
    }
}
