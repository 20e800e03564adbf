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

using namespace merrowcli::import;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ImportCache cache;
    std::string problem;
    if (!readCacheText(text, &cache, &problem)) {
        if (problem.empty()) std::abort();
        return 0;
    }
    for (const MediaRecord& record : cache.media()) {
        if (!isValidRecord(record)) std::abort();
        const MediaFile file{record.key.path, MediaKind::kPhoto};
        const auto outcome = cache.findMedia(record.key, "media", file);
        if (!outcome || outcome->item.has_value() != record.item.has_value()) std::abort();
    }
    for (const DuplicateRecord& record : cache.duplicates()) {
        if (!isValidRecord(record) ||
            !cache.filesOfSize(record.file.size).at(record.path).duplicate) {
            std::abort();
        }
    }
    for (const PictureRecord& record : cache.pictures()) {
        if (!isValidRecord(record) || cache.findPictures(record.key).empty()) std::abort();
    }
    if (cacheText(cache) != text) std::abort();
    CacheContext now = cache.context();
    now.zone += "+";
    cache.keepWhatApplies(now);
    if (!cache.media().empty()) std::abort();
    return 0;
}
