// Fuzz target: the import cache's file, as a previous import left it in the project folder (or
// as anyone edited it). The input is read as that file; what is taken must be records the
// import could have written, written back it must be the input itself (every value has one
// spelling), and looking the records up and keeping the parts that apply must hold up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/import/CacheFile.h"
#include "cli/import/ImportCache.h"

namespace import = merrowcli::import;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    import::ImportCache cache;
    std::string problem;
    if (!import::readCacheText(text, &cache, &problem)) {
        if (problem.empty()) std::abort();
        return 0;
    }
    for (const import::MediaRecord& record : cache.media()) {
        if (!import::isValidRecord(record)) std::abort();
        const import::MediaFile file{record.key.path, import::MediaKind::kPhoto};
        const auto outcome = cache.findMedia(record.key, "media", file);
        if (!outcome || outcome->item.has_value() != record.item.has_value()) std::abort();
    }
    for (const import::PictureRecord& record : cache.pictures()) {
        if (!import::isValidRecord(record) || cache.findPictures(record.key).empty()) std::abort();
    }
    if (import::cacheText(cache) != text) std::abort();
    import::CacheContext now = cache.context();
    now.zone += "+";
    cache.keepWhatApplies(now);
    if (!cache.media().empty()) std::abort();
    return 0;
}
