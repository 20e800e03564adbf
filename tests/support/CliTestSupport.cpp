#include "support/CliTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "host/dom/DocumentRegistry.h"
#include "host/dom/XmlOutputFileGlue.h"
#include "host/objects/HostTypes.h"

namespace clitest {

namespace fs = std::filesystem;

namespace {

// Releases a node list of SelectNodes as the host hands it out.
void freeNodes(_NODE_INFO** nodes, int count) {
    if (nodes == nullptr) return;
    for (int i = 0; i < count; ++i) {
        delete[] nodes[i]->name;
        delete[] nodes[i]->id;
        delete nodes[i];
    }
    delete[] nodes;
}

// Runs action on a glue attached to the file's document, then releases the document.
template <typename Action>
auto withDocument(const fs::path& xmlFile, Action action) {
    merrowhost::DocumentLoadError error;
    const unsigned domId = merrowhost::loadDocumentFile(xmlFile.string(), &error);
    if (domId == 0) throw std::runtime_error("cannot load " + error.text());
    CXMLOutputFileGlue glue(domId, "test", nullptr);
    auto result = action(glue);
    glue.Detach();
    merrowhost::releaseDocument(domId);
    return result;
}

}  // namespace

CommandResult runMerrowkit(const std::vector<std::string>& args, const fs::path& workingFolder) {
    return runMerrowkit(args, workingFolder, {});
}

CommandResult runMerrowkit(const std::vector<std::string>& args, const fs::path& workingFolder,
                           const std::vector<std::string>& environment) {
    const std::string program = std::string(MERROWKIT_BIN_DIR) + "/merrowkit";
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(outPipe[1]);
        close(errPipe[0]);
        close(errPipe[1]);
        if (chdir(workingFolder.c_str()) != 0) _exit(127);
        for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    CommandResult result;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* targets[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                targets[i]->append(buffer, static_cast<size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "merrowkit-cli-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

fs::path copyTestProject(const std::string& project, const fs::path& folder,
                         const std::string& name) {
    const fs::path target = folder / name;
    fs::copy(fs::path(MERROWKIT_TEST_DATA) / "projects" / project, target,
             fs::copy_options::recursive);
    return target;
}

std::map<std::string, std::string> folderContents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = entry.path().lexically_relative(folder).string();
        contents[relative] = entry.is_regular_file() ? readFile(entry.path()) : "<folder>";
    }
    return contents;
}

std::vector<std::string> trackReferences(const std::string& xml) {
    static const std::regex kReference(
        R"re(\s(image|imageNormal|imageAction|imageFocus|tileImage)="([^"]*)")re");
    std::vector<std::string> values;
    for (std::sregex_iterator it(xml.begin(), xml.end(), kReference), end; it != end; ++it) {
        values.push_back((*it)[2].str());
    }
    return values;
}

std::string attributeOf(const fs::path& xmlFile, const std::string& xpath,
                        const std::string& name) {
    return withDocument(xmlFile, [&](CXMLOutputFileGlue& glue) {
        char* value = nullptr;
        std::string out;
        if (glue.GetNodeAttribute(xpath.c_str(), name.c_str(), &value) && value != nullptr) {
            out = value;
        }
        delete[] value;
        return out;
    });
}

int countOf(const fs::path& xmlFile, const std::string& xpath) {
    return withDocument(xmlFile, [&](CXMLOutputFileGlue& glue) {
        _NODE_INFO** nodes = nullptr;
        int count = 0;
        if (!glue.SelectNodes(xpath.c_str(), &nodes, &count)) count = 0;
        freeNodes(nodes, count);
        return count;
    });
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace clitest
