#include "fuzz/FuzzSupport.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fuzzsupport {

namespace fs = std::filesystem;

namespace {

struct ScratchFolder {
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "merrowkit-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
        fs::copy(fs::path(MERROWKIT_FUZZ_PROJECT) / "art", path / "art",
                 fs::copy_options::recursive);
        const std::string project =
            "<project discFormat=\"10\" rootMenuTitle=\"true\" background=\"false\">\n"
            "  <presentation file=\"presentation.xml\"/>\n</project>\n";
        writeBytes(path / "project.xml", reinterpret_cast<const uint8_t*>(project.data()),
                   project.size());
        std::ifstream in(fs::path(MERROWKIT_FUZZ_PROJECT) / "presentation.xml", std::ios::binary);
        const std::string document((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        writeBytes(path / "presentation.xml", reinterpret_cast<const uint8_t*>(document.data()),
                   document.size());
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

}  // namespace

const fs::path& projectFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

void writeBytes(const fs::path& file, const uint8_t* data, size_t size) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + file.string());
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
}

}  // namespace fuzzsupport
