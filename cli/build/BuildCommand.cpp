#include "cli/build/BuildCommand.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <utility>

#include "cli/build/BuildRun.h"
#include "cli/build/ProjectLoader.h"
#include "cli/core/ProgramPaths.h"
#include "host/framework/AppFramework.h"

namespace merrowcli {

namespace fs = std::filesystem;

namespace {

bool isProjectFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / ProjectLoader::kProjectFile, ec);
}

}  // namespace

BuildCommand::BuildCommand(BuildOptions options) : options_(std::move(options)) {}

std::string BuildCommand::description() const {
    return "Builds the BD-J calendar menu of a project folder (project.xml and the\n"
           "reference document it names) with the merrowkit component and writes\n"
           "OUT_DIR/AppPresentation.xml, OUT_DIR/tracks/*.png and OUT_DIR/title.xml.";
}

std::string BuildCommand::epilogue() const {
    return "Exit status: 0 built, 1 the component returned false (outputs written),\n"
           "2 bad usage or bad input (with --strict, also any warning).";
}

void BuildCommand::declare(ArgumentParser& parser) {
    parser.addOperand(ArgumentParser::folderOperand(
        "PROJECT_DIR", "the project folder (default: the shipped sample project)",
        options_.projectFolder, false));
    parser.addFolderOption("output", 'o', "OUT_DIR",
                           "the output folder (default: ./merrowkit-out); it is\n"
                           "replaced only when the new output is complete",
                           "output folder", options_.outputFolder);
    declareVariant(parser, options_.variant);
    parser.addFlag("allow-outside", 0,
                   "read pictures and documents outside the project folder\n"
                   "too (by default such paths are refused)",
                   [this] { options_.allowOutside = true; });
    parser.addFlag("strict", 0,
                   "treat warnings as bad input: stop with status 2 and\n"
                   "leave OUT_DIR untouched",
                   [this] { options_.strict = true; });
    parser.addFlag("preview", 0, "also write OUT_DIR/preview.html (see merrowkit help preview)",
                   [this] { options_.preview = true; });
}

void BuildCommand::declareVariant(ArgumentParser& parser, std::string& target) {
    parser.addValueOption(
        "variant", 0, "VARIANT",
        "the component variant to load: current (libmerrowkit.so.0)\n"
        "or older (libmerrowkit-older.so.0)",
        [&target](const std::string& value, std::string* problem) {
            if (value != "current" && value != "older") {
                *problem = "unknown variant '" + value + "' (current or older)";
                return false;
            }
            target = value;
            return true;
        },
        "needs current or older");
}

std::vector<std::string> BuildCommand::readableFolders(const fs::path& projectFolder) {
    std::error_code ec;
    std::vector<std::string> folders = {fs::absolute(projectFolder, ec).lexically_normal().string(),
                                        (programFolder() / "Content").string()};
    // The template folders of every template root stay readable.
    for (const std::string& root : merrowhost::templateRoots()) {
        folders.push_back((fs::path(root) / "Content").string());
    }
    return folders;
}

fs::path BuildCommand::sampleProjectFolder() {
    const fs::path besideProgram = programFolder() / "samples" / "calendar";
    if (isProjectFolder(besideProgram)) return besideProgram;
    const fs::path installed = installedDataFolder(programFolder()) / "calendar";
    if (isProjectFolder(installed)) return installed;
#ifdef MERROWKIT_SAMPLE_PROJECT
    if (isProjectFolder(MERROWKIT_SAMPLE_PROJECT)) return fs::path(MERROWKIT_SAMPLE_PROJECT);
#endif
    return {};
}

int BuildCommand::run() {
    return runCatching(kCannotRun, [this] { return runOrThrow(); });
}

int BuildCommand::runOrThrow() {
    BuildRun run(options_);
    if (!run.prepareOutputFolder() || !run.findProject() || !run.loadComponent() ||
        !run.readProject() || !run.createTitle() || !run.checkLimits() || !run.writeOutputs()) {
        return kCannotRun;
    }
    run.checkOwnOutput();
    return run.summarise();
}

}  // namespace merrowcli
