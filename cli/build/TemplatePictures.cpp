#include "cli/build/TemplatePictures.h"

#include <libxml/tree.h>

#include <system_error>

#include "cli/build/ProjectLoader.h"
#include "cli/core/Messages.h"
#include "host/dom/DocumentRegistry.h"
#include "host/dom/XPathEvaluator.h"
#include "host/framework/AppFramework.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNumberTiles = "Numbers_S1.png";
constexpr const char* kBackground = "Background.jpg";
// As deep as the component searches.
constexpr int kMaxSearchDepth = 32;

// The layout elements that show number tiles.
constexpr const char* kNumberElements =
    "/NS:root/NS:layout//*[self::NS:graphictext or contains(@id, 'INDEX_1') or "
    "contains(@id, 'NUMBER_')]";

bool inFolder(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    fs::recursive_directory_iterator it(folder,
                                        fs::directory_options::follow_directory_symlink |
                                            fs::directory_options::skip_permission_denied,
                                        ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (it.depth() >= kMaxSearchDepth) it.disable_recursion_pending();
        if (it->path().filename() == name && fs::is_regular_file(it->path(), ec)) return true;
    }
    return false;
}

bool showsNumbers(unsigned domId) {
    bool found = false;
    merrowhost::onRegistryDocument(domId, [&](xmlDoc* doc) {
        std::vector<xmlNode*> elements;
        if (!merrowhost::XPathEvaluator(doc).selectElements(kNumberElements, &elements)) {
            return false;
        }
        found = !elements.empty();
        return true;
    });
    return found;
}

std::string searched(const std::vector<std::string>& roots) {
    std::string text;
    for (const std::string& root : roots) text += (text.empty() ? "" : ", ") + root;
    return "searched Content/Menu Template/ in " + text + "; " + merrowhost::kTemplateDirVariable +
           " names one more folder";
}

}  // namespace

bool inTemplateFolders(const std::string& name, const std::vector<std::string>& roots) {
    for (const std::string& root : roots) {
        for (const char* sub : kTemplateFolders) {
            if (inFolder(fs::path(root) / sub, name)) return true;
        }
    }
    return false;
}

std::vector<MissingTemplatePicture> missingTemplatePictures(const fs::path& folder,
                                                            const ProjectSettings& settings,
                                                            unsigned referenceDomId,
                                                            const std::vector<std::string>& roots) {
    std::vector<MissingTemplatePicture> missing;
    if (settings.background && settings.backgroundImage.empty() && !settings.backgroundMediaFile &&
        !inTemplateFolders(kBackground, roots)) {
        missing.push_back({settings.projectFile, std::string("the background picture \"") +
                                                     kBackground +
                                                     "\" is in no template folder, so the title "
                                                     "gets no background clip (" +
                                                     searched(roots) + ")"});
    }
    if (showsNumbers(referenceDomId) && !inTemplateFolders(kNumberTiles, roots)) {
        missing.push_back({(folder / settings.presentationFile).string(),
                           std::string("the number tiles \"") + kNumberTiles +
                               "\" are in no template folder, so no number is shown (" +
                               searched(roots) + ")"});
    }
    return missing;
}

void warnMissingTemplatePictures(const fs::path& folder, const ProjectLoader& project) {
    for (const MissingTemplatePicture& picture : missingTemplatePictures(
             folder, project.settings(), project.referenceDomId(), merrowhost::templateRoots())) {
        Messages::instance().warning(picture.file, 0, picture.problem);
    }
}

}  // namespace merrowcli
