#pragma once
// What ties a title's chapter menu to the calendar's content entries.

#include <string>

namespace Merrow {

struct ChapterMenuData {
    std::string titleInfoId;
    std::string chapterLayoutId;
    std::string showChapterCmdId;
    std::string hideChapterCmdId;
};

}  // namespace Merrow
