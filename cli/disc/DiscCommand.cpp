#include "cli/disc/DiscCommand.h"

#include <exception>
#include <system_error>

#include "cli/build/BuildCommand.h"
#include "cli/core/Messages.h"
#include "cli/core/StagingFolder.h"
#include "cli/disc/DiscFolderCheck.h"
#include "cli/disc/DiscImage.h"
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

}  // namespace

std::string DiscCommand::description() const {
    return "Builds PROJECT_DIR as merrowkit build does and writes a Blu-ray disc folder\n"
           "(BDMV/, CERTIFICATE/) whose BD-J title plays the calendar menu: the player\n"
           "(a BD-J Xlet), the compiled menu model and the pictures. Play it with\n"
           "vlc bluray:///path/to/DISC_DIR or mpv bluray:// --bluray-device=DISC_DIR;\n"
           "on the remote, the RED key is BACK.";
}

std::string DiscCommand::epilogue() const {
    return "Exit status: 0 written, 1 the component did not create the title (nothing\n"
           "written), 2 bad usage, bad input or a folder that cannot be written.";
}

void DiscCommand::declare(ArgumentParser& parser) {
    parser.addOperand({"PROJECT_DIR", "the project folder", true, false,
                       [this](const std::string& value, std::string* problem) {
                           if (value.empty()) {
                               *problem = "PROJECT_DIR is empty";
                               return false;
                           }
                           project_ = value;
                           return true;
                       }});
    parser.addValueOption(
        "output", 'o', "DISC_DIR",
        "the disc folder (default: ./merrowkit-disc); it is\n"
        "replaced only when the new disc is complete",
        [this](const std::string& value, std::string* problem) {
            if (disc_) {
                *problem = "the disc folder is given twice";
                return false;
            }
            if (value.empty()) {
                *problem = "DISC_DIR is empty";
                return false;
            }
            disc_ = value;
            return true;
        },
        "needs a folder");
    parser.addValueOption(
        "variant", 0, "VARIANT", "the component variant to load: current or older",
        [this](const std::string& value, std::string* problem) {
            if (value != "current" && value != "older") {
                *problem = "unknown variant '" + value + "' (current or older)";
                return false;
            }
            variant_ = value;
            return true;
        },
        "needs current or older");
}

int DiscCommand::run() {
    try {
        return runOrThrow();
    } catch (const std::exception& e) {
        Messages::instance().error(e.what());
    } catch (...) {
        Messages::instance().error("unexpected failure");
    }
    return kCannotRun;
}

int DiscCommand::runOrThrow() {
    Messages& messages = Messages::instance();
    std::string error;
    const fs::path named = disc_.value_or(fs::path(kDefaultDiscFolder));
    const fs::path target = StagingFolder::normaliseTarget(named);
    if (target.empty()) {
        messages.error(named.string() + ": cannot be used as the disc folder");
        return kCannotRun;
    }
    fs::path restored;
    if (!StagingFolder::recover(target, &restored, &error)) {
        messages.error(error);
        return kCannotRun;
    }
    if (!checkDiscTarget(target, &error)) {
        messages.error(error);
        return kCannotRun;
    }
    const fs::path playerJar = findPlayerJar();
    if (playerJar.empty()) {
        messages.error(
            "the BD-J player merrowkit-player.jar is neither beside the program nor "
            "in its installed data folder (share/merrowkit)");
        return kCannotRun;
    }

    StagingFolder staging;
    if (!staging.create(target, &error)) {
        messages.error(error);
        return kCannotRun;
    }
    const fs::path buildFolder = staging.path() / kBuildFolder;
    BuildOptions options;
    options.projectFolder = *project_;
    options.outputFolder = buildFolder;
    options.variant = variant_;
    int built = 0;
    {
        const QuietBuild quiet;
        BuildCommand build(options);
        built = build.run();
    }
    // The build has said what went wrong; bad input needs no second line.
    if (built == BuildCommand::kServiceFailed) {
        messages.error("no disc written: the component did not create the title of " +
                       project_->string());
        return kServiceFailed;
    }
    if (built != BuildCommand::kSucceeded) return kCannotRun;

    messages.note("compiling the menu model of " + buildFolder.string());
    menu::MenuModel model;
    std::string bytes;
    if (!menu::compileMenu(buildFolder, project_->string(), &model, &error) ||
        !menu::menuBinary(model, &bytes, &error)) {
        messages.error(error);
        return kCannotRun;
    }
    messages.note("writing the disc into " + staging.path().string());
    if (!writeDiscImage(staging.path(), playerJar, bytes, buildFolder, &error)) {
        messages.error(error);
        return kCannotRun;
    }
    std::error_code ec;
    fs::remove_all(buildFolder, ec);
    if (ec) {
        messages.error(buildFolder.string() + ": cannot be removed: " + ec.message());
        return kCannotRun;
    }
    if (!staging.commit(&error)) {
        messages.error(error);
        return kCannotRun;
    }
    if (!staging.warning().empty()) messages.warning(staging.warning());
    messages.summary("wrote the disc " + project_->string() + " -> " + named.string() +
                     ": menu model " + std::to_string(bytes.size()) + " bytes, player " +
                     std::to_string(fs::file_size(playerJar)) + " bytes");
    return kWritten;
}

}  // namespace merrowcli::disc
