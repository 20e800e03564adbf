#include "cli/PictureWarnings.h"

#include <algorithm>
#include <tuple>

#include "cli/Messages.h"
#include "host/framework/ProjectFolder.h"

namespace merrowcli {

namespace {

// The host's reason starts with the resolved path when it names one; the warning names the path
// as the document does, so that part is dropped.
std::string reasonOf(const merrowhost::PictureDiagnostic& diagnostic) {
    const std::string prefix = merrowhost::resolvePath(diagnostic.picture) + ": ";
    std::string reason = diagnostic.problem;
    if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
    if (reason == "No such file or directory") reason = "no such file";
    return reason.empty() ? std::string("cannot be read") : reason;
}

}  // namespace

void PictureWarnings::pictureNotUsed(const merrowhost::PictureDiagnostic& diagnostic) noexcept {
    try {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const merrowhost::PictureDiagnostic& known : found_) {
            if (known.domId == diagnostic.domId && known.line == diagnostic.line &&
                known.elementId == diagnostic.elementId && known.picture == diagnostic.picture) {
                return;
            }
        }
        found_.push_back(diagnostic);
    } catch (...) {
        // A warning that cannot be kept is dropped; the build goes on.
    }
}

size_t PictureWarnings::size() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return found_.size();
}

void PictureWarnings::write(unsigned domId, const std::string& shown) const {
    std::vector<merrowhost::PictureDiagnostic> found;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        found = found_;
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.domId, a.line, a.picture) < std::tie(b.domId, b.line, b.picture);
    });
    for (const merrowhost::PictureDiagnostic& diagnostic : found) {
        std::string element(1, '<');
        element.append(diagnostic.element);
        if (!diagnostic.elementId.empty()) element += " id=\"" + diagnostic.elementId + "\"";
        element += ">";
        const std::string problem = element + ": picture \"" + diagnostic.picture +
                                    "\": " + reasonOf(diagnostic) +
                                    "; the fallback picture is shown";
        if (diagnostic.domId == domId) {
            Messages::instance().warning(shown, diagnostic.line, problem);
        } else {
            Messages::instance().warning(problem);
        }
    }
}

}  // namespace merrowcli
