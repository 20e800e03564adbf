// gzf_CreateComponent: the one exported function, which makes a service object from its class
// identifier.

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "component/BDJAdvancedTitleCreator.h"
#include "component/BDJPresentationDomOperator.h"
#include "component/ErrorReport.h"
#include "merrowkit/Services.h"

namespace {

constexpr int32_t kMethodCreateComponent = 7;
constexpr int32_t kLocationCreateComponent = 35;
// Severity the unknown-class report is left with after its second logging.
constexpr int32_t kSeverityUnknownClass = 1;

using CreatorFunction = bool (*)(CzfServiceObject** out, CzfErrorInfo* error);

struct ComponentClassEntry {
    const GUID* classId;
    CreatorFunction create;
};

// Looked up in row order.
const ComponentClassEntry kComponentClassTable[] = {
    {&merrowkit::kClsidAdvancedTitleCreator, &CzfBDJAdvancedTitleCreator::CreateInstance},
    {&merrowkit::kClsidPresentationDomOperator, &CzfBDJPresentationDomOperator::CreateInstance},
};
constexpr std::size_t kComponentClassCount = 2;
static_assert(std::size(kComponentClassTable) == kComponentClassCount);

}  // namespace

extern "C" MERROWKIT_API bool gzf_CreateComponent(const GUID* classId, CzfServiceObject** out,
                                                  CzfErrorInfo* error) {
    Merrow::ErrorReport report(error, merrowkit::kSourceFactory, kMethodCreateComponent);
    try {
        if (classId == nullptr || out == nullptr) {
            return report.fail(merrowkit::kErrorNullArgument, kLocationCreateComponent);
        }
        *out = nullptr;
        for (std::size_t row = 0; row < kComponentClassCount; ++row) {
            if (*kComponentClassTable[row].classId == *classId) {
                return kComponentClassTable[row].create(out, report.record());
            }
        }
        report.fail(merrowkit::kErrorUnknownClass, kLocationCreateComponent);
        report.logAgain(kSeverityUnknownClass);
        return false;
    } catch (...) {
        return report.failCurrentException(kLocationCreateComponent);
    }
}
