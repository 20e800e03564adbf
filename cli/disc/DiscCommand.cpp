#include "cli/disc/DiscCommand.h"

#include "cli/build/BuildCommand.h"
#include "cli/disc/DiscRun.h"

namespace merrowcli::disc {

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
    parser.addOperand(ArgumentParser::folderOperand("PROJECT_DIR", "the project folder", project_));
    parser.addFolderOption("output", 'o', "DISC_DIR",
                           "the disc folder (default: ./merrowkit-disc); it is\n"
                           "replaced only when the new disc is complete",
                           "disc folder", disc_);
    BuildCommand::declareVariant(parser, variant_);
    parser.addFlag("no-cache", 0,
                   "make every clip anew: neither read nor fill the clip cache\n"
                   "($XDG_CACHE_HOME/merrowkit/clips, else ~/.cache/merrowkit/clips)",
                   [this] { useClipCache_ = false; });
}

int DiscCommand::run() {
    return runCatching(kCannotRun, [this] { return runOrThrow(); });
}

int DiscCommand::runOrThrow() {
    DiscRun run({*project_, disc_.value_or(std::filesystem::path(kDefaultDiscFolder)), variant_,
                 useClipCache_});
    bool serviceFailed = false;
    if (!run.prepareDiscFolder() || !run.findPlayer() || !run.readTitles()) return kCannotRun;
    if (!run.buildProject(&serviceFailed)) return serviceFailed ? kServiceFailed : kCannotRun;
    if (!run.writeSlides() || !run.compileMenu() || !run.writeDisc() || !run.writeClips() ||
        !run.writePlaylists() || !run.commit()) {
        return kCannotRun;
    }
    run.summarise();
    return kWritten;
}

}  // namespace merrowcli::disc
