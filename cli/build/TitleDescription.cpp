#include "cli/build/TitleDescription.h"

#include <memory>
#include <utility>

#include "cli/core/TextValues.h"
#include "host/objects/GlobalApi.h"
#include "host/objects/HostObject.h"
#include "host/title/AdvancedTitleObject.h"
#include "host/title/ClipListObject.h"
#include "host/title/ClipObject.h"
#include "host/title/ImageTrackObject.h"
#include "host/title/MediaHolderObject.h"
#include "host/title/PresentationObject.h"

namespace merrowcli {

namespace {

// Writes one element's start tag attribute by attribute.
class Tag {
public:
    Tag(std::string& out, int depth, const char* name) : out_(out) {
        out_.append(static_cast<size_t>(depth) * 2, ' ');
        out_ += '<';
        out_ += name;
    }
    Tag& attr(const char* name, const std::string& value) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        out_ += markupText(value);
        out_ += '"';
        return *this;
    }
    Tag& attr(const char* name, long long value) { return attr(name, std::to_string(value)); }
    void close() { out_ += "/>\n"; }
    void open() { out_ += ">\n"; }

private:
    std::string& out_;
};

void endTag(std::string& out, int depth, const char* name) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += "</";
    out += name;
    out += ">\n";
}

std::string kindOf(CzfServiceObject* object) {
    if (const auto* hostObject = dynamic_cast<const merrowhost::HostObject*>(object)) {
        if (hostObject->classPrefix() != nullptr) return hostObject->classPrefix();
    }
    return "object";
}

void describeMedia(std::string& out, int depth, CzfServiceObject* media) {
    Tag tag(out, depth, "media");
    tag.attr("object", TitleDescription::objectId(media)).attr("kind", kindOf(media));
    if (const auto* track = dynamic_cast<const merrowhost::ImageTrackObject*>(media)) {
        tag.attr("file", TitleDescription::trackFile(media))
            .attr("width", track->width())
            .attr("height", track->height());
    }
    tag.close();
}

void describeHolder(std::string& out, int depth, merrowhost::MediaHolderObject& holder) {
    Tag tag(out, depth, "holder");
    tag.attr("object", TitleDescription::objectId(&holder));
    if (holder.hasTimeValue()) tag.attr("time", holder.timeValue());
    tag.open();
    const merrowhost::PlacementObject& placement = holder.placement();
    Tag placementTag(out, depth + 1, "placement");
    if (placement.hasPlacement()) {
        placementTag.attr("first", placement.placementFirst())
            .attr("second", placement.placementSecond());
    }
    if (placement.hasOption()) placementTag.attr("option", placement.option());
    if (placement.media() == nullptr) {
        placementTag.close();
    } else {
        placementTag.open();
        describeMedia(out, depth + 2, placement.media());
        endTag(out, depth + 1, "placement");
    }
    endTag(out, depth, "holder");
}

void describeClip(std::string& out, int depth, size_t position, CzfServiceObject* object) {
    Tag tag(out, depth, "clip");
    tag.attr("position", static_cast<long long>(position))
        .attr("object", TitleDescription::objectId(object));
    auto* clip = dynamic_cast<merrowhost::ClipObject*>(object);
    if (clip == nullptr) {
        tag.attr("class", kindOf(object)).close();
        return;
    }
    tag.attr("class", "clip" + std::to_string(clip->kind())).attr("mediaKind", clip->kind());
    if (clip->owner() != nullptr) tag.attr("owner", TitleDescription::objectId(clip->owner()));
    merrowhost::MediaHolderObject* holder = clip->mediaHolderObject();
    if (clip->values().empty() && holder == nullptr) {
        tag.close();
        return;
    }
    tag.open();
    for (const auto& [slot, value] : clip->values()) {
        Tag(out, depth + 1, "value").attr("slot", slot).attr("value", value).close();
    }
    if (holder != nullptr) describeHolder(out, depth + 1, *holder);
    endTag(out, depth, "clip");
}

}  // namespace

TitleDescription::TitleDescription(bool result, int32_t discFormat, CzfServiceObject* title,
                                   const CzfErrorInfo& error, std::string documentFile)
    : result_(result),
      discFormat_(discFormat),
      title_(title),
      error_(error),
      documentFile_(std::move(documentFile)) {}

std::string TitleDescription::objectId(CzfServiceObject* object) {
    if (object == nullptr) return std::string();
    char buffer[CzfGlobalAPI2::kObjectIdBufferSize] = {};
    if (!CzfGlobalAPI2::zfGetObjectIDString(object, true, buffer, nullptr)) return std::string();
    return buffer;
}

std::string TitleDescription::guidText(const GUID& id) {
    const std::unique_ptr<char[]> text(CzfGlobalAPI::zfConvertToString2(id));
    return text != nullptr ? std::string(text.get()) : std::string();
}

std::string TitleDescription::trackFile(CzfServiceObject* track) {
    return "tracks/" + objectId(track) + ".png";
}

std::string TitleDescription::text() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    Tag top(out, 0, "title");
    top.attr("format", kFormat)
        .attr("result", result_ ? "true" : "false")
        .attr("discFormat", discFormat_);
    auto* title = dynamic_cast<merrowhost::AdvancedTitleObject*>(title_);
    if (title_ != nullptr) top.attr("object", objectId(title_));
    if (title != nullptr) top.attr("guid", guidText(title->titleId()));
    top.open();

    if (title != nullptr) {
        const merrowhost::TemplateSettingsStore& settings = title->settings();
        Tag tag(out, 1, "settings");
        tag.attr("applied", settings.applyCount() > 0 ? "true" : "false");
        if (settings.applyCount() > 0) tag.attr("discFormat", settings.discFormat());
        tag.close();

        if (title->clipList() != nullptr) {
            Tag clips(out, 1, "clips");
            clips.attr("object", objectId(title->clipList()));
            merrowhost::ClipListObject* list = title->clipListObject();
            if (list == nullptr || list->size() == 0) {
                clips.close();
            } else {
                clips.open();
                for (size_t i = 0; i < list->size(); ++i) describeClip(out, 2, i, list->clips()[i]);
                endTag(out, 1, "clips");
            }
        }

        if (title->presentation() != nullptr) {
            Tag tag2(out, 1, "presentation");
            tag2.attr("object", objectId(title->presentation()));
            if (!documentFile_.empty()) tag2.attr("document", documentFile_);
            const merrowhost::PresentationObject* presentation = title->presentationObject();
            tag2.attr("tracks", static_cast<long long>(
                                    presentation != nullptr ? presentation->tracks().size() : 0));
            tag2.close();
        }
    }

    if (!result_) {
        Tag tag(out, 1, "error");
        if (error_.errorCategory != nullptr) tag.attr("category", guidText(*error_.errorCategory));
        tag.attr("code", error_.errorCode).attr("severity", error_.severity);
        if (error_.source != nullptr) tag.attr("source", guidText(*error_.source));
        tag.attr("method", error_.methodNumber).attr("location", error_.location);
        tag.close();
    }
    endTag(out, 0, "title");
    return out;
}

}  // namespace merrowcli
