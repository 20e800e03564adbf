#include <memory>
#include <string>

#include "creator/BDJCalendarApplicationCreator.h"
#include "document/XPathText.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/HostInterfaces.h"
#include "host/objects/ServiceObject.h"

namespace {

constexpr const char* kRootTitleName = "RootMenuTitle";
constexpr const char* kUserTitlePrefix = "UserTitle_";
constexpr int32_t kVideoWidth = 1920;
constexpr int32_t kVideoHeight = 1080;

// The object's 128-bit identifier; all zero when the object cannot tell.
GUID objectIdOf(CzfServiceObject* object) {
    GUID id{};
    if (auto* identifier =
            zfQuery<SzfObjectIdentifier>(object, merrowhost::kIidObjectIdentifier, nullptr)) {
        identifier->zfGetObjectID(&id, nullptr);
    }
    return id;
}

bool hasRootTitle(CzfServiceObject* source) {
    bool yes = false;
    auto* rootSwitch =
        zfQuery<SzfRootTitleSwitch>(source, merrowhost::kIidRootTitleSwitch, nullptr);
    return rootSwitch != nullptr && rootSwitch->zfGetRootTitleSwitch(&yes, nullptr) && yes;
}

bool isUserTitle(CzfServiceObject* item) {
    bool isUser = false;
    return item->zfIsKindOf(&merrowhost::kCategoryUserTitle, merrowhost::kKindUserTitle, &isUser,
                            nullptr) &&
           isUser;
}

std::string guidText(const GUID& id) {
    std::unique_ptr<char[]> text(CzfGlobalAPI::zfConvertToString2(id));
    return text ? std::string(text.get()) : std::string();
}

}  // namespace

// One "title" for the calendar's own title (when the project has one) and one per user title,
// each naming the title that follows it; the last wraps round to the first.
bool CBDJCalendarApplicationCreator::addTitleListElement(CXMLOutputFileGlue& doc,
                                                         CzfServiceObject* titles) {
    try {
        titleRecords.clear();

        if (hasRootTitle(source)) {
            TitleRecord record;
            record.titleId = objectIdOf(title);
            record.nextTitleId = record.titleId;
            record.name = kRootTitleName;
            record.videoWidth = kVideoWidth;
            record.videoHeight = kVideoHeight;
            titleRecords.push_back(record);
        }

        if (auto* collection =
                zfQuery<SzfTitleCollection>(titles, merrowhost::kIidTitleCollection, nullptr)) {
            int number = 0;
            uint32_t cookie = 0;
            for (CzfServiceObject* item = collection->zfGetFirstTitle(&cookie, nullptr);
                 item != nullptr; item = collection->zfGetNextTitle(&cookie, nullptr)) {
                if (!isUserTitle(item)) continue;
                TitleRecord record;
                record.name = kUserTitlePrefix + std::to_string(++number);
                record.titleId = objectIdOf(item);
                record.videoWidth = kVideoWidth;
                record.videoHeight = kVideoHeight;
                titleRecords.push_back(record);
            }
        }

        for (size_t i = 0; i < titleRecords.size(); ++i) {
            TitleRecord& record = titleRecords[i];
            // The root title leads to itself; every other title to the next, the last one back
            // to the first.
            if (record.name == kRootTitleName) continue;
            const size_t next = i + 1 < titleRecords.size() ? i + 1 : 0;
            record.nextTitleId = titleRecords[next].titleId;
        }

        doc.AddNode(".", "titlelist", nullptr);
        for (const TitleRecord& record : titleRecords) {
            const std::string prefix = doc.GetNameSpaceString();
            const std::string list = prefix + ":" + "titlelist";
            doc.AddNode(list.c_str(), "title", record.name.c_str());
            const std::string path =
                list + "/" + prefix + ":" + "title" + Merrow::idPredicate(record.name);
            doc.SetNodeAttribute(path.c_str(), "titleNo", guidText(record.titleId).c_str());
            doc.SetNodeAttribute(path.c_str(), "nextTitleNo", guidText(record.nextTitleId).c_str());
            doc.SetNodeAttribute(path.c_str(), "videoWidth",
                                 std::to_string(record.videoWidth).c_str());
            doc.SetNodeAttribute(path.c_str(), "videoHeight",
                                 std::to_string(record.videoHeight).c_str());
        }
        return true;
    } catch (...) {
        return false;
    }
}
