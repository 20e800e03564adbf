#pragma once
// Files and folders of a media folder that cameras, phones and operating systems leave beside
// the photos and that a photo manager never shows: they are passed over in silence.
//   - any name starting with '.': macOS resource forks ("._IMG_1234.JPG"), ".DS_Store", hidden
//     folders such as ".thumbnails";
//   - "@eaDir" (a Synology NAS's thumbnails), "Thumbs.db", "desktop.ini" (in any case);
//   - ".AAE" files (an iPhone's edit instructions, in any case).

#include <string>

namespace merrowcli::import {

bool isPassedOver(const std::string& name);

// The reason a library gave for a file it could not read, without the file's path when the
// library put it in, so that the "FILE: skipped: reason" line names the file once.
std::string reasonWithoutPath(const std::string& reason, const std::string& path);

}  // namespace merrowcli::import
