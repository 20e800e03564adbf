#include "cli/disc/DiscRun.h"

#include <system_error>
#include <utility>

#include "cli/build/BuildCommand.h"
#include "cli/core/Messages.h"
#include "cli/disc/DiscFolderCheck.h"
#include "cli/disc/DiscImage.h"
#include "cli/disc/PlaylistWriter.h"
#include "cli/disc/SlidePictures.h"
#include "cli/menu/MenuBinary.h"
#include "cli/menu/MenuCompiler.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

// The build's output, made inside the disc's staging folder and taken apart into the disc.
constexpr const char* kBuildFolder = ".build";

// Quiets the build's own summary (the disc writes one of its own), unless -v asks for notes.
class QuietBuild {
public:
    QuietBuild() : saved_(Messages::instance().verbosity()) {
        if (saved_ == Messages::Verbosity::kNormal) {
            Messages::instance().setVerbosity(Messages::Verbosity::kQuiet);
        }
    }
    ~QuietBuild() { Messages::instance().setVerbosity(saved_); }
    QuietBuild(const QuietBuild&) = delete;
    QuietBuild& operator=(const QuietBuild&) = delete;

private:
    Messages::Verbosity saved_;
};

// Reports a step's problem; false so that a step can return it.
bool fail(const std::string& problem) {
    Messages::instance().error(problem);
    return false;
}

}  // namespace

fs::path DiscRun::buildFolder() const {
    return staging_.path() / kBuildFolder;
}

bool DiscRun::prepareDiscFolder() {
    std::string error;
    target_ = StagingFolder::normaliseTarget(options_.discFolder);
    if (target_.empty()) {
        return fail(options_.discFolder.string() + ": cannot be used as the disc folder");
    }
    fs::path restored;
    if (!StagingFolder::recover(target_, &restored, &error)) return fail(error);
    // Looked at before it is checked: whatever appears there later is kept (StagingFolder::commit).
    seen_ = FolderSnapshot::take(target_);
    if (!checkDiscTarget(target_, &error)) return fail(error);
    return true;
}

bool DiscRun::findPlayer() {
    playerJar_ = findPlayerJar();
    if (!playerJar_.empty()) return true;
    return fail(
        "the BD-J player merrowkit-player.jar is neither beside the program nor in its "
        "installed data folder (share/merrowkit)");
}

bool DiscRun::readTitles() {
    std::string error;
    if (!readTitleClips(options_.projectFolder, &titleClips_, &error)) return fail(error);
    return true;
}

bool DiscRun::buildProject(bool* serviceFailed) {
    std::string error;
    staging_.expect(std::move(seen_));
    if (!staging_.create(target_, &error)) return fail(error);
    BuildOptions options;
    options.projectFolder = options_.projectFolder;
    options.outputFolder = buildFolder();
    options.variant = options_.variant;
    int built = 0;
    {
        const QuietBuild quiet;
        BuildCommand build(options);
        built = build.run();
    }
    *serviceFailed = built == BuildCommand::kServiceFailed;
    // The build has said what went wrong; bad input needs no second line.
    if (*serviceFailed) {
        return fail("no disc written: the component did not create the title of " +
                    options_.projectFolder.string());
    }
    return built == BuildCommand::kSucceeded;
}

bool DiscRun::writeSlides() {
    std::string error;
    Slideshow slideshow;
    if (!readSlideshow(options_.projectFolder, &slideshow, &error)) return fail(error);
    if (slideshow.photos.empty()) return true;
    Messages::instance().note("writing " + std::to_string(slideshow.photos.size()) +
                              " slideshow photos");
    if (!disc::writeSlides(slideshow, buildFolder() / kSlidesFolder, &error)) return fail(error);
    slideshow_.photos = static_cast<int>(slideshow.photos.size());
    slideshow_.secondsPerPhoto = slideshow.secondsPerPhoto;
    return true;
}

bool DiscRun::compileMenu() {
    std::string error;
    Messages::instance().note("compiling the menu model of " + buildFolder().string());
    if (!menu::compileMenu(buildFolder(), options_.projectFolder.string(), &model_, &error,
                           slideshow_) ||
        !menu::menuBinary(model_, &modelBytes_, &error)) {
        return fail(error);
    }
    return true;
}

bool DiscRun::writeDisc() {
    std::string error;
    Messages::instance().note("writing the disc into " + staging_.path().string());
    if (!writeDiscImage(staging_.path(), playerJar_, modelBytes_, buildFolder(), &error)) {
        return fail(error);
    }
    std::error_code ec;
    fs::remove_all(buildFolder(), ec);
    if (ec) return fail(buildFolder().string() + ": cannot be removed: " + ec.message());
    return true;
}

bool DiscRun::writeClips() {
    std::string error;
    const ClipCache cache(options_.useClipCache ? ClipCache::defaultFolder() : fs::path());
    if (!writeTitleClipFiles(titleClips_, staging_.path() / "BDMV" / "STREAM", cache, &clipCounts_,
                             &error)) {
        return fail(error);
    }
    return true;
}

bool DiscRun::writePlaylists() {
    PlaylistReport report;
    const bool written = disc::writePlaylists(staging_.path(), titleClips_, &report);
    for (const std::string& warning : report.warnings) Messages::instance().warning(warning);
    if (!written) return fail(report.error);
    playlistsWritten_ = report.playlists.size();
    return true;
}

bool DiscRun::commit() {
    std::string error;
    if (!staging_.commit(&error)) return fail(error);
    if (!staging_.warning().empty()) Messages::instance().warning(staging_.warning());
    return true;
}

void DiscRun::summarise() const {
    std::error_code ec;
    Messages::instance().summary(
        "wrote the disc " + options_.projectFolder.string() + " -> " +
        options_.discFolder.string() + ": menu model " + std::to_string(modelBytes_.size()) +
        " bytes, player " + std::to_string(fs::file_size(playerJar_, ec)) + " bytes, " +
        std::to_string(titleClips_.size()) + " clips (" + std::to_string(clipCounts_.converted) +
        " converted, " + std::to_string(clipCounts_.copied) + " copied, " +
        std::to_string(clipCounts_.fromCache) + " from the cache), " +
        std::to_string(playlistsWritten_) + " playlist" + (playlistsWritten_ == 1 ? "" : "s"));
}

}  // namespace merrowcli::disc
