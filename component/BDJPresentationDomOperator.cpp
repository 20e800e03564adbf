#include "component/BDJPresentationDomOperator.h"

#include <cstdint>
#include <new>

#include "component/ErrorReport.h"
#include "host/XmlOutputFileGlue.h"

namespace {

constexpr int32_t kMethodCreateInstance = 0;
constexpr int32_t kMethodQueryService = 1;
constexpr int32_t kMethodIsKindOf = 2;
constexpr int32_t kMethodGetClassID = 9;
constexpr int32_t kMethodSavePresentationDom = 0;

constexpr int32_t kLocationCreateAndQuery = 18;
constexpr int32_t kLocationKindAndClassId = 14;
constexpr int32_t kLocationSave = 18;

// Interfaces the object answers itself, each seen through its base in the object.
struct ServiceEntry {
    const GUID* interfaceId;
    void* (*interfaceOf)(CzfBDJPresentationDomOperator* object);
};

const ServiceEntry kServiceTable[] = {
    {&merrowkit::kIidOperateBDJPresentationDom,
     [](CzfBDJPresentationDomOperator* object) -> void* {
         return static_cast<SzfOperateBDJPresentationDom*>(object);
     }},
};

struct KindEntry {
    const GUID* categoryId;
    int kind;
};

const KindEntry kKindTable[] = {
    {&merrowkit::kCategoryServiceKind, merrowkit::kKindPresentationDomOperator},
};

}  // namespace

bool CzfBDJPresentationDomOperator::CreateInstance(CzfServiceObject** out, CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodCreateInstance);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationCreateAndQuery);
        }
        // A constructor that throws after allocation gives the memory back before the
        // exception reaches the handler below.
        CzfBDJPresentationDomOperator* object = new (std::nothrow) CzfBDJPresentationDomOperator();
        *out = object;
        if (object == nullptr) {
            return report.fail(merrowkit::kErrorOutOfMemory, kLocationCreateAndQuery);
        }
        return true;
    } catch (...) {
        return report.failCurrentException(kLocationCreateAndQuery);
    }
}

bool CzfBDJPresentationDomOperator::zfQueryService(const GUID* interfaceId, void** out,
                                                   CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodQueryService);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationCreateAndQuery);
        }
        *out = nullptr;
        for (const ServiceEntry& entry : kServiceTable) {
            if (IsEqualGUIDPtr(entry.interfaceId, interfaceId)) {
                *out = entry.interfaceOf(this);
                return true;
            }
        }
        return CzfServiceObject::zfQueryService(interfaceId, out, error);
    } catch (...) {
        return report.failCurrentException(kLocationCreateAndQuery);
    }
}

bool CzfBDJPresentationDomOperator::zfIsKindOf(const GUID* categoryId, int kind, bool* out,
                                               CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodIsKindOf);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationKindAndClassId);
        }
        *out = false;
        for (const KindEntry& entry : kKindTable) {
            if (entry.kind == kind && IsEqualGUIDPtr(entry.categoryId, categoryId)) {
                *out = true;
                return true;
            }
        }
        return CzfServiceObject::zfIsKindOf(categoryId, kind, out, error);
    } catch (...) {
        return report.failCurrentException(kLocationKindAndClassId);
    }
}

bool CzfBDJPresentationDomOperator::zfGetClassID(GUID* out, CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodGetClassID);
    if (out == nullptr) {
        return report.fail(merrowkit::kErrorNullArgument, kLocationKindAndClassId);
    }
    *out = merrowkit::kClsidPresentationDomOperator;
    return true;
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
