#include "component/BDJAdvancedTitleCreator.h"

#include "component/ServiceClass.h"

namespace {

// Service table: the creation method; kind table: kind 319 of the shared category.
const Merrow::ServiceClass kAdvancedTitleCreatorClass = {
    &merrowkit::kClsidAdvancedTitleCreator, &merrowkit::kIidCreateBDJAdvancedTitleMethod,
    &merrowkit::kCategoryServiceKind,       merrowkit::kKindAdvancedTitleCreator,
    /*locationCreateAndQuery=*/38,
    /*locationKindAndClassId=*/34,
};

}  // namespace

bool CzfBDJAdvancedTitleCreator::CreateInstance(CzfServiceObject** out, CzfErrorInfo* error) {
    return Merrow::createServiceObject<CzfBDJAdvancedTitleCreator>(kAdvancedTitleCreatorClass, out,
                                                                   error);
}

bool CzfBDJAdvancedTitleCreator::zfQueryService(const GUID* interfaceId, void** out,
                                                CzfErrorInfo* error) {
    return Merrow::queryService(kAdvancedTitleCreatorClass, *this,
                                static_cast<SzfCreateBDJAdvancedTitle_Method*>(this), interfaceId,
                                out, error);
}

bool CzfBDJAdvancedTitleCreator::zfIsKindOf(const GUID* categoryId, int kind, bool* out,
                                            CzfErrorInfo* error) {
    return Merrow::isKindOf(kAdvancedTitleCreatorClass, *this, categoryId, kind, out, error);
}

bool CzfBDJAdvancedTitleCreator::zfGetClassID(GUID* out, CzfErrorInfo* error) {
    return Merrow::getClassId(kAdvancedTitleCreatorClass, out, error);
}
