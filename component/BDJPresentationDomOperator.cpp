#include "component/BDJPresentationDomOperator.h"

#include <cstdint>

#include "component/ErrorReport.h"
#include "component/ServiceClass.h"
#include "host/dom/XmlOutputFileGlue.h"

namespace {

constexpr int32_t kMethodSavePresentationDom = 0;
constexpr int32_t kLocationSave = 18;

// Service table: the DOM operations; kind table: kind 321 of the shared category.
const Merrow::ServiceClass kPresentationDomOperatorClass = {
    &merrowkit::kClsidPresentationDomOperator,
    &merrowkit::kIidOperateBDJPresentationDom,
    &merrowkit::kCategoryServiceKind,
    merrowkit::kKindPresentationDomOperator,
    /*locationCreateAndQuery=*/18,
    /*locationKindAndClassId=*/14,
};

}  // namespace

bool CzfBDJPresentationDomOperator::CreateInstance(CzfServiceObject** out, CzfErrorInfo* error) {
    return Merrow::createServiceObject<CzfBDJPresentationDomOperator>(kPresentationDomOperatorClass,
                                                                      out, error);
}

bool CzfBDJPresentationDomOperator::zfQueryService(const GUID* interfaceId, void** out,
                                                   CzfErrorInfo* error) {
    return Merrow::queryService(kPresentationDomOperatorClass, *this,
                                static_cast<SzfOperateBDJPresentationDom*>(this), interfaceId, out,
                                error);
}

bool CzfBDJPresentationDomOperator::zfIsKindOf(const GUID* categoryId, int kind, bool* out,
                                               CzfErrorInfo* error) {
    return Merrow::isKindOf(kPresentationDomOperatorClass, *this, categoryId, kind, out, error);
}

bool CzfBDJPresentationDomOperator::zfGetClassID(GUID* out, CzfErrorInfo* error) {
    return Merrow::getClassId(kPresentationDomOperatorClass, out, error);
}

bool CzfBDJPresentationDomOperator::zfSavePresentationDom(unsigned domId, const char* path,
                                                          CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kClsidPresentationDomOperator,
                               kMethodSavePresentationDom);
    try {
        if (path == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationSave);
        }
        // The glue only borrows the document: detaching and destroying it leave the
        // document with the host.
        CXMLOutputFileGlue glue;
        if (!glue.Attach(domId, nullptr)) {
            return report.fail(merrowkit::kErrorUnknownDocument, kLocationSave);
        }
        const bool saved = glue.SaveXMLFile(path);
        glue.Detach();
        if (!saved) {
            return report.fail(merrowkit::kErrorSaveFailed, kLocationSave);
        }
        return true;
    } catch (...) {
        return report.failCurrentException(kLocationSave);
    }
}

bool CzfBDJPresentationDomOperator::zfUnsupportedOperation(void* /*first*/, void* /*second*/) {
    return false;
}
