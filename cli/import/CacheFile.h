#pragma once
// The import cache as the text of its file, one record a line (CacheFields.h):
//
//   merrowkit-import-cache 1 reading R drawing D
//   reading-libraries TEXT
//   drawing-libraries TEXT
//   zone TEXT
//   media TEXT
//   file PATH SIZE MODIFIED SIDECAR SIZE MODIFIED item Y M D h m s HAS_UTC UTC MICROSECONDS
//        SOURCE SIDECAR_PROBLEM ORIENTATION DURATION LEFT_OUT N [START TITLE]...
//   file PATH SIZE MODIFIED SIDECAR SIZE MODIFIED skipped REASON
//   duplicate PATH SIZE MODIFIED
//   picture PATH SIZE MODIFIED SECONDS READ_W READ_H W H plain|highlighted FILE BYTES DIGEST
//   end FILES DUPLICATES PICTURES
//
// The first line carries the format's version and the revisions of the reading and drawing
// code; the last counts the records, so that a file cut short anywhere is seen. Every value has
// one spelling, so a text that is read is the text cacheText writes of what was read.

#include <string>
#include <string_view>

#include "cli/import/ImportCache.h"

namespace merrowcli::import {

inline constexpr int kCacheFormat = 1;

std::string cacheText(const ImportCache& cache);

// Reads the text of a cache file into *cache. False with *problem (one line) when it is not a
// cache of this format, or any line of it is bad: then none of it is to be used.
bool readCacheText(std::string_view text, ImportCache* cache, std::string* problem);

}  // namespace merrowcli::import
