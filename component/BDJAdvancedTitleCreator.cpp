#include "component/BDJAdvancedTitleCreator.h"

#include <cstdint>
#include <new>

#include "component/ErrorReport.h"

namespace {

constexpr int32_t kMethodCreateInstance = 0;
constexpr int32_t kMethodQueryService = 1;
constexpr int32_t kMethodIsKindOf = 2;
constexpr int32_t kMethodGetClassID = 9;

constexpr int32_t kLocationCreateAndQuery = 38;
constexpr int32_t kLocationKindAndClassId = 34;

// Interfaces the object answers itself, each seen through its base in the object.
struct ServiceEntry {
    const GUID* interfaceId;
    void* (*interfaceOf)(CzfBDJAdvancedTitleCreator* object);
};

const ServiceEntry kServiceTable[] = {
    {&merrowkit::kIidCreateBDJAdvancedTitleMethod,
     [](CzfBDJAdvancedTitleCreator* object) -> void* {
         return static_cast<SzfCreateBDJAdvancedTitle_Method*>(object);
     }},
};

struct KindEntry {
    const GUID* categoryId;
    int kind;
};

const KindEntry kKindTable[] = {
    {&merrowkit::kCategoryServiceKind, merrowkit::kKindAdvancedTitleCreator},
};

}  // namespace

bool CzfBDJAdvancedTitleCreator::CreateInstance(CzfServiceObject** out, CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodCreateInstance);
    try {
        if (out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationCreateAndQuery);
        }
        // A constructor that throws after allocation gives the memory back before the
        // exception reaches the handler below.
        CzfBDJAdvancedTitleCreator* object = new (std::nothrow) CzfBDJAdvancedTitleCreator();
        *out = object;
        if (object == nullptr) {
            return report.fail(merrowkit::kErrorOutOfMemory, kLocationCreateAndQuery);
        }
        return true;
    } catch (...) {
        return report.failCurrentException(kLocationCreateAndQuery);
    }
}

bool CzfBDJAdvancedTitleCreator::zfQueryService(const GUID* interfaceId, void** out,
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

bool CzfBDJAdvancedTitleCreator::zfIsKindOf(const GUID* categoryId, int kind, bool* out,
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

bool CzfBDJAdvancedTitleCreator::zfGetClassID(GUID* out, CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceServiceClass, kMethodGetClassID);
    if (out == nullptr) {
        return report.fail(merrowkit::kErrorNullArgument, kLocationKindAndClassId);
    }
    *out = merrowkit::kClsidAdvancedTitleCreator;
    return true;
}
