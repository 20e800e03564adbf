#pragma once
// Shared by the command's tests: running the built `merrowkit` program, temporary folders,
// and reading what a build wrote.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace clitest {

struct CommandResult {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    int signal = 0;   // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// Runs MERROWKIT_BIN_DIR/merrowkit with the arguments in the given working folder.
CommandResult runMerrowkit(const std::vector<std::string>& args,
                           const std::filesystem::path& workingFolder);
// The same with more environment variables ("NAME=VALUE") for the program.
CommandResult runMerrowkit(const std::vector<std::string>& args,
                           const std::filesystem::path& workingFolder,
                           const std::vector<std::string>& environment);

// A new empty folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& text);

// Copies a project of tests/data/projects into folder/name and returns its path.
std::filesystem::path copyTestProject(const std::string& project,
                                      const std::filesystem::path& folder, const std::string& name);

// Every file below folder, by relative path, with its bytes.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder);

// Every value of the attributes "image", "imageNormal", "imageAction", "imageFocus" and
// "tileImage" in an XML text, in order.
std::vector<std::string> trackReferences(const std::string& xml);

// The value of an attribute of the first element the XPath selects in an XML file (prefix
// "NS" for the document element's namespace, or none); empty when there is none.
std::string attributeOf(const std::filesystem::path& xmlFile, const std::string& xpath,
                        const std::string& name);
// How many elements the XPath selects in an XML file.
int countOf(const std::filesystem::path& xmlFile, const std::string& xpath);

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace clitest
