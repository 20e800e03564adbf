#pragma once
// The time zone the import's local times are made in, as one text for the import cache: TZ as
// set, and a digest of the zone as the C library resolves it (every change of its offset,
// daylight saving flag or abbreviation from 1970 to 2100, found to the second). Another TZ,
// another /etc/localtime or new rules for the zone give another text, and the cached dates are
// then read again.

#include <string>

namespace merrowcli::import {

std::string zoneFingerprint();

}  // namespace merrowcli::import
