#include "creator/BDJCalendarApplicationCreator.h"

// The resource list stays empty; the element is there for the application to find.
bool CBDJCalendarApplicationCreator::addResourceListElement(CXMLOutputFileGlue& doc,
                                                            CXMLOutputFileGlue& /*ref*/,
                                                            CzfServiceObject* /*presentation*/,
                                                            SAVEDATA* /*record*/) {
    try {
        return doc.AddNode(".", "resourcelist", "Resourcelist");
    } catch (...) {
        return false;
    }
}
