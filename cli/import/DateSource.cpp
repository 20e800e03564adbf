#include "cli/import/DateSource.h"

namespace merrowcli::import {

const char* dateSourceName(DateSource source) {
    switch (source) {
        case DateSource::kSidecar:
            return "sidecar";
        case DateSource::kExif:
            return "EXIF";
        case DateSource::kContainer:
            return "container";
        case DateSource::kFileName:
            return "file name";
        case DateSource::kFileTime:
            return "file time";
    }
    return "file time";
}

}  // namespace merrowcli::import
