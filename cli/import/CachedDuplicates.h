#pragma once
// Exact duplicates left out with the previous import's help. Only files of one size can hold
// the same bytes, so each group of files of one size is decided alone: a group whose files are
// all as the previous import compared them (the same paths with the same sizes and
// modification times, none added, none gone) keeps that import's decision; any other group is
// compared again by withoutDuplicates, which alone says what a duplicate is.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "cli/import/ImportCache.h"
#include "cli/import/MediaKey.h"
#include "cli/import/MediaReader.h"

namespace merrowcli::import {

struct DuplicateCheck {
    std::vector<size_t> kept;              // indices into the files, in their order
    std::vector<DuplicateRecord> leftOut;  // for the next import
};

// files in byte order of their paths (as listMedia gives them), keys their keys (nothing for a
// file that could not be looked at: then every file is compared again).
DuplicateCheck checkDuplicates(const std::filesystem::path& folder,
                               const std::vector<MediaFile>& files,
                               const std::vector<std::optional<MediaKey>>& keys,
                               const ImportCache& previous);

}  // namespace merrowcli::import
