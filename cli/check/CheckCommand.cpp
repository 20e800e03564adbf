#include "cli/check/CheckCommand.h"

#include <exception>

#include "cli/check/OutputCheck.h"
#include "cli/core/InputFile.h"
#include "cli/core/Messages.h"

namespace merrowcli {

std::string CheckCommand::description() const {
    return "Checks the output folder of 'merrowkit build': every picture the document\n"
           "names is a decodable tracks/ID.png, every id named by a page, button, focus\n"
           "item, trigger, use or menu property exists, is of the right kind and is\n"
           "unique, and title.xml counts the document's tracks. One line per problem:\n"
           "OUT_DIR/AppPresentation.xml:LINE: problem.";
}

std::string CheckCommand::epilogue() const {
    return "Exit status: 0 every reference holds, 1 something is broken, 2 bad usage or\n"
           "the folder cannot be read.";
}

void CheckCommand::declare(ArgumentParser& parser) {
    parser.addOperand(
        ArgumentParser::folderOperand("OUT_DIR", "the output folder of a build", folder_));
}

int CheckCommand::run() {
    Messages& messages = Messages::instance();
    try {
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
                             (report.problems.size() == 1 ? "" : "s") + " (" + counted +
                             " checked)");
            return kBroken;
        }
        messages.summary(shown + ": every reference holds (" + counted + ")");
        return kAllHold;
    } catch (const std::exception& e) {
        messages.error(e.what());
    } catch (...) {
        messages.error("unexpected failure");
    }
    return kCannotRead;
}

}  // namespace merrowcli
