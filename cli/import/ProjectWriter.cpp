#include "cli/import/ProjectWriter.h"

#include <libxml/tree.h>
#include <libxml/xmlwriter.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>

#include "cli/core/TextValues.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/sha.h>
}

#include "cli/core/NameText.h"

namespace merrowcli::import {

namespace {

// A document written with libxml2's text writer into memory, indented by four blanks.
class XmlText {
public:
    XmlText() : buffer_(xmlBufferCreate()) {
        if (buffer_ == nullptr) throw std::bad_alloc();
        writer_ = xmlNewTextWriterMemory(buffer_, 0);
        if (writer_ == nullptr) {
            xmlBufferFree(buffer_);
            throw std::bad_alloc();
        }
        xmlTextWriterSetIndent(writer_, 1);
        xmlTextWriterSetIndentString(writer_, BAD_CAST "    ");
        check(xmlTextWriterStartDocument(writer_, "1.0", "UTF-8", nullptr));
    }
    ~XmlText() {
        if (writer_ != nullptr) xmlFreeTextWriter(writer_);
        xmlBufferFree(buffer_);
    }
    XmlText(const XmlText&) = delete;
    XmlText& operator=(const XmlText&) = delete;

    void comment(const std::string& text) {
        check(xmlTextWriterWriteComment(writer_, BAD_CAST text.c_str()));
    }
    void start(const char* name) { check(xmlTextWriterStartElement(writer_, BAD_CAST name)); }
    void attribute(const char* name, const std::string& value) {
        check(xmlTextWriterWriteAttribute(writer_, BAD_CAST name, BAD_CAST value.c_str()));
    }
    void attribute(const char* name, int value) { attribute(name, std::to_string(value)); }
    void text(const std::string& value) {
        check(xmlTextWriterWriteString(writer_, BAD_CAST value.c_str()));
    }
    void end() { check(xmlTextWriterEndElement(writer_)); }

    std::string finish() {
        check(xmlTextWriterEndDocument(writer_));
        xmlFreeTextWriter(writer_);
        writer_ = nullptr;
        return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_)),
                           static_cast<size_t>(xmlBufferLength(buffer_)));
    }

private:
    static void check(int status) {
        if (status < 0) throw std::runtime_error("cannot write an XML document");
    }

    xmlBufferPtr buffer_;
    xmlTextWriterPtr writer_ = nullptr;
};

// The design's layout element by element (comments kept), without the design's namespace
// declarations: the document's root declares the namespace once.
void copyElement(XmlText& out, const xmlNode* element) {
    out.start(reinterpret_cast<const char*>(element->name));
    for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        xmlChar* value = xmlNodeListGetString(element->doc, a->children, 1);
        out.attribute(reinterpret_cast<const char*>(a->name),
                      value != nullptr ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    for (const xmlNode* node = element->children; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            copyElement(out, node);
        } else if (node->type == XML_COMMENT_NODE && node->content != nullptr) {
            out.comment(reinterpret_cast<const char*>(node->content));
        } else if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) &&
                   node->content != nullptr) {
            out.text(reinterpret_cast<const char*>(node->content));
        }
    }
    out.end();
}

const xmlNode* layoutOf(const Design& design) {
    const xmlNode* root = xmlDocGetRootElement(design.document());
    for (const xmlNode* node = root != nullptr ? root->children : nullptr; node != nullptr;
         node = node->next) {
        if (node->type == XML_ELEMENT_NODE &&
            std::string(reinterpret_cast<const char*>(node->name)) == "layout") {
            return node;
        }
    }
    return nullptr;
}

std::string namespaceOf(const Design& design) {
    const xmlNode* root = xmlDocGetRootElement(design.document());
    if (root != nullptr && root->ns != nullptr && root->ns->href != nullptr) {
        return reinterpret_cast<const char*>(root->ns->href);
    }
    return {};
}

void writeNavigation(XmlText& out, const Calendar& calendar, const std::set<std::string>& texts) {
    out.start("navigationInfo");
    out.start("dateInfo");
    out.attribute("TITLE_NUMBER", calendar.titleTotal);
    out.attribute("PHOTO_NUMBER", calendar.photoTotal);
    for (const CalendarYear& year : calendar.years) {
        out.start("yearInfo");
        out.attribute("id", year.id);
        out.attribute("content", fourDigits(year.year));
        out.attribute("TITLE_NUMBER", year.titles);
        out.attribute("PHOTO_NUMBER", year.photos);
        out.attribute("thumbnailId", thumbnailProviderId(year.id));
        if (texts.count(year.id) != 0) out.attribute("textId", textProviderId(year.id));
        for (const CalendarMonth& month : year.months) {
            out.start("monthInfo");
            out.attribute("id", month.id);
            out.attribute("index", month.month - 1);
            out.attribute("firstdayShift", month.firstdayShift);
            out.attribute("monthDays", month.monthDays);
            out.attribute("TITLE_NUMBER", month.titles);
            out.attribute("PHOTO_NUMBER", month.photos);
            out.attribute("thumbnailId", thumbnailProviderId(month.id));
            for (const CalendarDay& day : month.days) {
                out.start("dayInfo");
                out.attribute("id", day.id);
                out.attribute("index", day.day - 1);
                out.attribute("TITLE_NUMBER", day.titles);
                out.attribute("PHOTO_NUMBER", day.photos);
                out.attribute("thumbnailId", thumbnailProviderId(day.id));
                for (const CalendarContent& content : day.contents) {
                    out.start("contentInfo");
                    out.attribute("id", content.id);
                    out.attribute("content", content.time);
                    if (content.slideshow) {
                        out.attribute("PHOTO_NUMBER", static_cast<int>(content.items.size()));
                        out.attribute("startFrame", content.startFrame);
                    } else {
                        out.attribute("titleInfoID",
                                      calendar.titles[static_cast<size_t>(content.title)].id);
                    }
                    out.attribute("thumbnailId", thumbnailProviderId(content.id));
                    out.end();
                }
                out.end();
            }
            out.end();
        }
        out.end();
    }
    out.end();
    out.end();
}

void writeTitles(XmlText& out, const Calendar& calendar, const std::set<std::string>& thumbnails,
                 const std::set<std::string>& texts) {
    out.start("titlesInfo");
    for (const CalendarTitle& title : calendar.titles) {
        out.start("titleInfo");
        out.attribute("id", title.id);
        for (const CalendarChapter& chapter : title.chapters) {
            out.start("chapterInfo");
            out.attribute("id", chapter.id);
            out.attribute("index", chapter.index);
            if (thumbnails.count(chapter.id) != 0) {
                out.attribute("thumbnailId", thumbnailProviderId(chapter.id));
            }
            if (texts.count(chapter.id) != 0) out.attribute("textId", textProviderId(chapter.id));
            out.end();
        }
        out.end();
    }
    out.end();
}

void writeProviders(XmlText& out, const ArtPlan& art) {
    out.start("providers");
    for (const ThumbnailJob& job : art.thumbnails) {
        out.start("thumbnail");
        out.attribute("id", thumbnailProviderId(job.entryId));
        out.attribute("image", job.file);
        out.attribute("imageHighlight", job.highlightFile);
        out.attribute("width", job.size.width);
        out.attribute("height", job.size.height);
        out.end();
    }
    for (const TextJob& job : art.texts) {
        out.start("text");
        out.attribute("id", textProviderId(job.entryId));
        out.attribute("image", job.file);
        out.attribute("width", job.size.width);
        out.attribute("height", job.size.height);
        out.end();
    }
    out.end();
}

}  // namespace

std::string presentationXml(const Calendar& calendar, const Design& design, const ArtPlan& art) {
    std::set<std::string> thumbnails;
    std::set<std::string> texts;
    for (const ThumbnailJob& job : art.thumbnails) thumbnails.insert(job.entryId);
    for (const TextJob& job : art.texts) texts.insert(job.entryId);

    XmlText out;
    out.comment(
        " Written by merrowkit import: the design's page layout, the calendar of the media\n"
        "     (years, months, days and contents), the titles made from the videos with their\n"
        "     chapters, and the pictures that the entries name by thumbnailId and textId. ");
    out.start("root");
    const std::string uri = namespaceOf(design);
    if (!uri.empty()) out.attribute("xmlns", uri);
    if (const xmlNode* layout = layoutOf(design)) copyElement(out, layout);
    writeNavigation(out, calendar, texts);
    writeTitles(out, calendar, thumbnails, texts);
    writeProviders(out, art);
    out.end();
    return out.finish();
}

std::string projectXml(const Calendar& calendar, const std::string& mediaFolder) {
    XmlText out;
    out.comment(
        " Written by merrowkit import: disc format 10, the calendar's own root title, a\n"
        "     background clip of the template folder's Background.jpg, and one user title per\n"
        "     video, in the order of the reference document's titleInfo entries. The videos\n"
        "     are relative to the media folder. ");
    out.start("project");
    out.attribute("discFormat", 10);
    out.attribute("rootMenuTitle", "true");
    out.attribute("background", "true");
    out.attribute("backgroundImage", "");
    out.attribute("mediaKind", 2);
    out.attribute("defaultMediaValue", 0);
    out.attribute("media", percentEncodedName(mediaFolder));
    out.start("presentation");
    out.attribute("file", kPresentationFile);
    out.end();
    if (!calendar.titles.empty()) {
        out.start("titles");
        for (const CalendarTitle& title : calendar.titles) {
            out.start("title");
            out.attribute("kind", "user");
            out.attribute("guid", titleGuid(calendar.media[title.item].path));
            out.attribute("video", percentEncodedName(calendar.media[title.item].path));
            out.end();
        }
        out.end();
    }
    out.end();
    return out.finish();
}

std::string slideshowXml(const Calendar& calendar) {
    XmlText out;
    out.comment(
        " Written by merrowkit import: every photo of the project in time order, each shown for\n"
        "     secondsPerPhoto seconds; a slideshow content's startFrame is the frame of its first\n"
        "     photo. Files are relative to the media folder. ");
    out.start("slideshow");
    out.attribute("secondsPerPhoto", kSecondsPerPhoto);
    out.attribute("photos", static_cast<int>(calendar.slideshow.size()));
    int frame = 0;
    for (const size_t item : calendar.slideshow) {
        const MediaItem& photo = calendar.media[item];
        const LocalTime& t = photo.taken;
        out.start("photo");
        out.attribute("frame", frame++);
        // Percent-encoded: a name that is not UTF-8 would make the document ill-formed.
        out.attribute("file", percentEncodedName(photo.path));
        out.attribute("date",
                      fourDigits(t.year) + "-" + twoDigits(t.month) + "-" + twoDigits(t.day));
        out.attribute("time",
                      twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second));
        out.attribute("orientation", photo.orientation == 0 ? 1 : photo.orientation);
        out.end();
    }
    out.end();
    return out.finish();
}

std::string recordedMediaFolder(const std::filesystem::path& mediaFolder,
                                const std::filesystem::path& projectFolder) {
    std::error_code ec;
    const std::filesystem::path media =
        std::filesystem::weakly_canonical(std::filesystem::absolute(mediaFolder, ec), ec);
    if (ec) return std::filesystem::absolute(mediaFolder).lexically_normal().string();
    const std::filesystem::path project =
        std::filesystem::weakly_canonical(std::filesystem::absolute(projectFolder, ec), ec);
    // Relative only when both are below one top folder: a path that climbs to the root is
    // no shorter and breaks as soon as either moves.
    const auto top = [](const std::filesystem::path& path) {
        auto part = path.begin();
        return part != path.end() && ++part != path.end() ? *part : std::filesystem::path();
    };
    if (ec || top(media).empty() || top(media) != top(project)) return media.string();
    const std::filesystem::path relative = media.lexically_relative(project);
    return relative.empty() ? media.string() : relative.string();
}

std::string titleGuid(const std::string& relativePath) {
    // The namespace of merrowkit's title identifiers (a random UUID of our own).
    static const std::uint8_t kNamespace[16] = {0x6f, 0x1d, 0x3a, 0x52, 0x8c, 0x47, 0x4e, 0x0b,
                                                0x9a, 0x31, 0x2d, 0x5c, 0x7e, 0x19, 0xb8, 0x04};
    std::unique_ptr<AVSHA, decltype(&av_free)> sha(av_sha_alloc(), &av_free);
    if (!sha) throw std::bad_alloc();
    std::uint8_t digest[20] = {};
    av_sha_init(sha.get(), 160);
    av_sha_update(sha.get(), kNamespace, sizeof kNamespace);
    av_sha_update(sha.get(), reinterpret_cast<const std::uint8_t*>(relativePath.data()),
                  relativePath.size());
    av_sha_final(sha.get(), digest);
    digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0f) | 0x50);
    digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3f) | 0x80);
    char text[40];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  digest[0], digest[1], digest[2], digest[3], digest[4], digest[5], digest[6],
                  digest[7], digest[8], digest[9], digest[10], digest[11], digest[12], digest[13],
                  digest[14], digest[15]);
    return text;
}

}  // namespace merrowcli::import
