#include "cli/check/OutputCheck.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/check/TrackPicture.h"
#include "cli/core/InputFile.h"
#include "cli/core/OutputLayout.h"
#include "cli/core/XmlInput.h"
#include "host/dom/XmlElement.h"
#include "host/title/TrackSpool.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

using merrowhost::XmlElement;

const char* const kDocumentFile = OutputLayout::kDocumentFile;
const char* const kTitleFile = OutputLayout::kTitleFile;
const char* const kPictureAttributes[] = {"image", "imageNormal", "imageAction", "imageFocus",
                                          "tileImage"};

// What an id reference must name.
enum class Kind {
    kAnything,
    kContainer,       // a container of the layout
    kResourceButton,  // a graphicbutton of the resource list
    kTitle,           // a title of the title list
    kMenuProperty,
    kPageButton,  // a graphicbutton inside the layout container of the referring page
    kPage,        // a yearpage, monthpage, daypage or contentpage
    kContent,     // a titlecontent or slideshowcontent
};

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::kAnything:
            return "an element";
        case Kind::kContainer:
            return "a layout container";
        case Kind::kResourceButton:
            return "a button of the resource list";
        case Kind::kTitle:
            return "a title of the title list";
        case Kind::kMenuProperty:
            return "a menuproperty";
        case Kind::kPageButton:
            return "a button of the page's layout";
        case Kind::kPage:
            return "a calendar page";
        case Kind::kContent:
            return "a content";
    }
    return "an element";
}

bool isInside(const XmlElement& node, const XmlElement& ancestor) {
    for (XmlElement up = node.parent(); up; up = up.parent()) {
        if (up == ancestor) return true;
    }
    return false;
}

template <typename Visit>
void forEachElement(const XmlElement& first, const Visit& visit) {
    for (XmlElement each = first; each; each = each.next()) {
        visit(each);
        forEachElement(each.child(), visit);
    }
}

// "the ELEMENT 'ID'" or "the ELEMENT" when it has no id.
std::string describe(const XmlElement& node) {
    const std::string id = node.attribute("id", "");
    return node.name() + (id.empty() ? "" : " '" + id + "'");
}

bool readDocument(const fs::path& file, const std::string& shown, XmlDocument* doc,
                  std::string* error) {
    std::string bytes;
    if (!readInputFile(file, shown, &bytes, error)) return false;
    *doc = parseXml(bytes, shown, error);
    return *doc != nullptr;
}

class OutputChecker {
public:
    OutputChecker(const fs::path& folder, const std::string& shown, ReferenceReport* report)
        : folder_(folder),
          documentShown_(shown + "/" + kDocumentFile),
          titleShown_(shown + "/" + kTitleFile),
          report_(report) {}

    void checkDocument(XmlElement root) {
        forEachElement(root, [this](XmlElement node) {
            const std::string id = node.attribute("id", "");
            if (!id.empty()) ids_[id].push_back(node);
        });
        forEachElement(root, [this](XmlElement node) { checkElement(node); });
    }

    void checkTitle(XmlElement root) {
        forEachElement(root, [this](XmlElement node) {
            if (node.is("presentation")) {
                const std::string count = node.attribute("tracks", "");
                if (node.has("tracks") && count != std::to_string(documentTracks_.size())) {
                    add(titleShown_, node,
                        "the presentation counts " + count + " tracks but the document names " +
                            std::to_string(documentTracks_.size()));
                }
                const std::string document = node.attribute("document", "");
                if (node.has("document") && document != kDocumentFile) {
                    add(titleShown_, node,
                        "the presentation's document is '" + document + "', not " + kDocumentFile);
                }
            } else if (node.is("media")) {
                if (!node.has("file")) return;
                const std::string file = node.attribute("file", "");
                const std::string prefix = "tracks/";
                const std::string object = node.attribute("object", "");
                if (file != prefix + object + ".png") {
                    add(titleShown_, node,
                        "media '" + object + "' names the file '" + file + "', not tracks/" +
                            object + ".png");
                    return;
                }
                titleTracks_.insert(object);
                checkTrack(titleShown_, node, "file", object);
            }
        });
    }

    // Decodes every track file of the folder at once, on as many threads as there are cores
    // (up to 4), so that checkTrack finds its answer ready; a file that holds the bytes the
    // build wrote is known to decode. A named track that is not among them is looked at when
    // it is named.
    void decodeTracks(const WrittenTracks* written) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (fs::directory_iterator it(folder_ / "tracks", ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->path().extension() != ".png") continue;
            if (written != nullptr && holdsWrittenBytes(it->path(), *written)) {
                decoded_.emplace(it->path().filename().string(), std::string());
            } else {
                files.push_back(it->path());
            }
        }
        std::sort(files.begin(), files.end());
        const int cores = static_cast<int>(std::thread::hardware_concurrency());
        const std::vector<std::string> problems =
            trackPictureProblems(files, std::clamp(cores, 1, 4));
        for (size_t i = 0; i < files.size(); ++i) {
            decoded_.emplace(files[i].filename().string(), problems[i]);
        }
    }

    static bool holdsWrittenBytes(const fs::path& file, const WrittenTracks& written) {
        const auto track = written.find(file.filename().string());
        if (track == written.end()) return false;
        std::string held;
        std::string unread;
        return readInputFile(file, file.string(), &held, &unread) &&
               held.size() == track->second.size &&
               merrowhost::contentDigest(held.data(), held.size()) == track->second.digest;
    }

    // Every tracks/*.png is named by the document or the title.
    void checkUnnamedTracks() {
        std::error_code ec;
        std::set<std::string> files;
        for (fs::directory_iterator it(folder_ / "tracks", ec), end; !ec && it != end;
             it.increment(ec)) {
            const fs::path& path = it->path();
            if (path.extension() == ".png") files.insert(path.stem().string());
        }
        for (const std::string& file : files) {
            if (documentTracks_.count(file) == 0 && titleTracks_.count(file) == 0) {
                report_->problems.push_back(
                    {documentShown_, 0, "tracks/" + file + ".png is named by no element"});
            }
        }
    }

private:
    void add(const std::string& file, XmlElement node, const std::string& problem) {
        report_->problems.push_back({file, node.line(), problem});
    }

    void checkElement(XmlElement node) {
        if (!node.is("firstplay")) {
            for (const char* name : kPictureAttributes) {
                if (!node.has(name)) continue;
                const std::string value = node.attribute(name, "");
                documentTracks_.insert(value);
                checkTrack(documentShown_, node, name, value);
            }
        }
        const std::string element = node.name();
        if (element == "focusitem" || element == "menuproperty") {
            reference(node, "target", Kind::kAnything, true);
        } else if (element == "use") {
            reference(node, "target", Kind::kAnything, true);
            checkParam(node);
        } else if (element == "focuscontrol") {
            reference(node, "default", Kind::kAnything, true);
        } else if (element == "trigger") {
            reference(node, "launcher", Kind::kAnything, true);
        } else if (element == "calendar") {
            reference(node, "firstPageId", Kind::kPage, true);
        }
        reference(node, "layoutId", Kind::kContainer, false);
        reference(node, "thumbnailResId", Kind::kResourceButton, false);
        reference(node, "chapterLayoutId", Kind::kContainer, false);
        reference(node, "showChapterCmdId", Kind::kMenuProperty, false);
        reference(node, "hideChapterCmdId", Kind::kMenuProperty, false);
        reference(node, "titleId", Kind::kTitle, false);
        reference(node, "nextPageButtonId", Kind::kPageButton, false);
        reference(node, "previousPageButtonId", Kind::kPageButton, false);
    }

    // The calendar command's "SwitchPage,PAGE" and "PlayContent,CONTENT" parameters.
    void checkParam(XmlElement node) {
        if (!node.has("param")) return;
        const std::string param = node.attribute("param", "");
        const size_t comma = param.find(',');
        if (comma == std::string::npos) return;
        const std::string verb = param.substr(0, comma);
        const std::string id = param.substr(comma + 1);
        if (verb == "SwitchPage") {
            resolve(node, "param " + verb, id, Kind::kPage);
        } else if (verb == "PlayContent") {
            resolve(node, "param " + verb, id, Kind::kContent);
        }
    }

    void reference(XmlElement node, const char* name, Kind kind, bool required) {
        if (!node.has(name)) {
            if (required) add(documentShown_, node, describe(node) + " has no " + name);
            return;
        }
        resolve(node, name, node.attribute(name, ""), kind);
    }

    void resolve(XmlElement node, const std::string& what, const std::string& id, Kind kind) {
        ++report_->referencesChecked;
        const auto found = ids_.find(id);
        if (id.empty() || found == ids_.end()) {
            add(documentShown_, node,
                what + " of " + describe(node) + " names '" + id + "', which no element has");
            return;
        }
        const std::vector<XmlElement>& targets = found->second;
        if (targets.size() > 1) {
            if (reportedDuplicates_.insert(id).second) {
                add(documentShown_, targets[1],
                    "id '" + id + "' is named by " + what + " of " + describe(node) +
                        " but given to " + std::to_string(targets.size()) + " elements");
            }
            return;
        }
        XmlElement target = targets.front();
        if (!isKind(node, target, kind)) {
            add(documentShown_, node,
                what + " of " + describe(node) + " names '" + id + "', a " + target.name() +
                    ", not " + kindName(kind));
        }
    }

    bool isKind(XmlElement from, XmlElement target, Kind kind) const {
        const std::string name = target.name();
        switch (kind) {
            case Kind::kAnything:
                return true;
            case Kind::kContainer:
                return name == "container" && target.parent().is("layout");
            case Kind::kResourceButton:
                return name == "graphicbutton" && target.isInside("resourcelist");
            case Kind::kTitle:
                return name == "title" && target.parent().is("titlelist");
            case Kind::kMenuProperty:
                return name == "menuproperty";
            case Kind::kPageButton: {
                if (name != "graphicbutton") return false;
                // A layout that does not resolve is reported by its own reference.
                const auto layout = ids_.find(from.attribute("layoutId", ""));
                if (layout == ids_.end() || layout->second.size() != 1) return true;
                return isInside(target, layout->second.front());
            }
            case Kind::kPage:
                return name == "yearpage" || name == "monthpage" || name == "daypage" ||
                       name == "contentpage";
            case Kind::kContent:
                return name == "titlecontent" || name == "slideshowcontent";
        }
        return false;
    }

    void checkTrack(const std::string& shown, XmlElement node, const std::string& name,
                    const std::string& value) {
        auto cached = trackProblems_.find(value);
        if (cached == trackProblems_.end()) {
            ++report_->tracksChecked;
            std::string problem;
            if (value.empty() || value.find('/') != std::string::npos ||
                value.find('\\') != std::string::npos || value == "." || value == "..") {
                problem = "is not a track name";
            } else {
                const auto decoded = decoded_.find(value + ".png");
                problem = decoded != decoded_.end()
                              ? decoded->second
                              : trackPictureProblem(folder_ / "tracks" / (value + ".png"));
            }
            cached = trackProblems_.emplace(value, problem).first;
        }
        if (!cached->second.empty()) {
            add(shown, node,
                name + " of " + describe(node) + ": tracks/" + value + ".png " + cached->second);
        }
    }

    fs::path folder_;
    std::string documentShown_;
    std::string titleShown_;
    ReferenceReport* report_;
    std::map<std::string, std::vector<XmlElement>> ids_;
    std::set<std::string> reportedDuplicates_;
    std::map<std::string, std::string> trackProblems_;
    std::map<std::string, std::string> decoded_;  // file name in tracks/ -> its problem
    std::set<std::string> documentTracks_;
    std::set<std::string> titleTracks_;
};

}  // namespace

ReferenceReport checkOutputFolder(const fs::path& folder, const std::string& shown,
                                  const WrittenTracks* written) {
    ReferenceReport report;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        report.error = located(shown, 0, fs::exists(folder, ec) ? "not a folder" : "missing");
        return report;
    }
    XmlDocument document;
    XmlDocument title;
    if (!readDocument(folder / kDocumentFile, shown + "/" + kDocumentFile, &document,
                      &report.error) ||
        !readDocument(folder / kTitleFile, shown + "/" + kTitleFile, &title, &report.error)) {
        return report;
    }
    report.readable = true;
    OutputChecker checker(folder, shown, &report);
    checker.decodeTracks(written);
    checker.checkDocument(XmlElement(xmlDocGetRootElement(document.get())));
    checker.checkTitle(XmlElement(xmlDocGetRootElement(title.get())));
    checker.checkUnnamedTracks();
    return report;
}

}  // namespace merrowcli
