#include "cli/check/CheckCommand.h"

#include <exception>

#include "cli/check/DiscCheck.h"
#include "cli/check/OutputCheck.h"
#include "cli/core/InputFile.h"
#include "cli/core/Messages.h"

namespace merrowcli {

std::string CheckCommand::description() const {
    return "Checks the output folder of 'merrowkit build': every picture the document\n"
           "names is a decodable tracks/ID.png, every id named by a page, button, focus\n"
           "item, trigger, use or menu property exists, is of the right kind and is\n"
           "unique, and title.xml counts the document's tracks. One line per problem:\n"
           "OUT_DIR/AppPresentation.xml:LINE: problem.\n"
           "\n"
           "Given a disc folder (one with BDMV/index.bdmv, or with --disc), reads it back\n"
           "through libbluray and libavformat: every playlist's clip exists, every mark is\n"
           "inside its clip, every EP map entry points at an I-frame, every stream is one a\n"
           "player accepts (H.264 High or Main at level 4.1 at most, 1920x1080 at 23.976p,\n"
           "24p, 25i or 29.97i or 1280x720 at 23.976p, 24p, 50p or 59.94p; AC-3 or LPCM at\n"
           "48 kHz), and every title the menu plays has its playlist. One line per problem:\n"
           "DISC_DIR/BDMV/...: problem.";
}

std::string CheckCommand::epilogue() const {
    return "Exit status: 0 every reference holds (every title plays), 1 something is\n"
           "broken, 2 bad usage or the folder cannot be read.";
}

void CheckCommand::declare(ArgumentParser& parser) {
    parser.addOperand(ArgumentParser::folderOperand(
        "DIR", "the output folder of a build, or a disc folder", folder_));
    parser.addFlag("disc", 0, "check DIR as a disc folder", [this] { disc_ = true; });
}

int CheckCommand::run() {
    return runCatching(kCannotRead, [this] {
        return disc_ || looksLikeDisc(*folder_) ? checkDiscFolder() : checkFolder();
    });
}

int CheckCommand::checkDiscFolder() const {
    Messages& messages = Messages::instance();
    const std::string shown = folder_->string();
    const DiscReport report = checkDisc(*folder_, shown);
    if (!report.readable) {
        messages.error(report.error);
        return kCannotRead;
    }
    for (const DiscProblem& problem : report.problems) {
        messages.error(located(problem.file, 0, problem.problem));
    }
    const std::string counted = std::to_string(report.playlists) + " playlists, " +
                                std::to_string(report.clips) + " clips, " +
                                std::to_string(report.marks) + " marks, " +
                                std::to_string(report.entryPoints) + " entry points, " +
                                std::to_string(report.streams) + " streams";
    if (!report.problems.empty()) {
        messages.summary(shown + ": " + std::to_string(report.problems.size()) + " problem" +
                         (report.problems.size() == 1 ? "" : "s") + " (" + counted + " checked)");
        return kBroken;
    }
    messages.summary(shown + ": every title can play (" + counted + ")");
    return kAllHold;
}

int CheckCommand::checkFolder() const {
    Messages& messages = Messages::instance();
    const std::string shown = folder_->string();
    const ReferenceReport report = checkOutputFolder(*folder_, shown);
    if (!report.readable) {
        messages.error(report.error);
        return kCannotRead;
    }
    for (const ReferenceProblem& problem : report.problems) {
        messages.error(located(problem.file, problem.line, problem.problem));
    }
    const std::string counted = std::to_string(report.referencesChecked) + " references, " +
                                std::to_string(report.tracksChecked) + " tracks";
    if (!report.problems.empty()) {
        messages.summary(shown + ": " + std::to_string(report.problems.size()) + " problem" +
                         (report.problems.size() == 1 ? "" : "s") + " (" + counted + " checked)");
        return kBroken;
    }
    messages.summary(shown + ": every reference holds (" + counted + ")");
    return kAllHold;
}

}  // namespace merrowcli
