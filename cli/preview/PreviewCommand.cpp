#include "cli/preview/PreviewCommand.h"

#include <exception>

#include "cli/core/Messages.h"
#include "cli/core/OutputLayout.h"
#include "cli/core/StagingFolder.h"
#include "cli/preview/PreviewPage.h"

namespace merrowcli {

std::string PreviewCommand::description() const {
    return "Writes one HTML file (style, script and the document inline; the pictures\n"
           "taken from OUT_DIR/tracks) that shows the calendar menu of a build's output\n"
           "and plays it with the keyboard: arrows move the focus, Enter is OK,\n"
           "Backspace or Escape is BACK, m is the popup menu key. It works offline,\n"
           "opened from the disk.";
}

std::string PreviewCommand::epilogue() const {
    return "Exit status: 0 written, 2 bad usage, the document cannot be read or the file\n"
           "cannot be written.";
}

void PreviewCommand::declare(ArgumentParser& parser) {
    parser.addOperand(
        ArgumentParser::folderOperand("OUT_DIR", "the output folder of a build", folder_));
    parser.addValueOption(
        "output", 'o', "FILE", "the page to write (default: OUT_DIR/preview.html)",
        [this](const std::string& value, std::string* problem) {
            if (file_) {
                *problem = "the page is given twice";
                return false;
            }
            if (value.empty()) {
                *problem = "FILE is empty";
                return false;
            }
            file_ = value;
            return true;
        },
        "needs a file");
}

std::filesystem::path PreviewCommand::defaultFile(const std::filesystem::path& folder) {
    return folder / OutputLayout::kPreviewFile;
}

int PreviewCommand::run() {
    try {
        const std::filesystem::path file = file_.value_or(defaultFile(*folder_));
        std::string error;
        if (!preview::writePreview(*folder_, folder_->string(), file, &error)) {
            Messages::instance().error(error);
            return kCannotWrite;
        }
        Messages::instance().summary("wrote " + file.string());
        return kWritten;
    } catch (const std::exception& e) {
        Messages::instance().error(e.what());
    } catch (...) {
        Messages::instance().error("unexpected failure");
    }
    return kCannotWrite;
}

}  // namespace merrowcli
