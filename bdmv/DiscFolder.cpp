#include "bdmv/DiscFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "bdmv/MovieObjectFile.h"

namespace merrowbdmv {

namespace fs = std::filesystem;

namespace {

bool makeFolder(const fs::path& folder, std::string* error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        *error = folder.string() + ": cannot create the folder: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

// The navigation files are written twice, the second copy under BDMV/BACKUP/, as the format
// asks; a player falls back on the copy when the first cannot be read.
bool writeWithBackup(const fs::path& bdmv, const fs::path& relative,
                     const std::vector<uint8_t>& bytes, std::string* error) {
    return writeFile(bdmv / relative, bytes, error) &&
           writeFile(bdmv / "BACKUP" / relative, bytes, error);
}

bool writeFile(const fs::path& file, const std::vector<uint8_t>& bytes, std::string* error) {
    if (!makeFolder(file.parent_path(), error)) return false;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
        *error = file.string() + ": cannot write the file: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool copyFile(const fs::path& from, const fs::path& to, std::string* error) {
    if (!makeFolder(to.parent_path(), error)) return false;
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        *error = from.string() + ": cannot copy to " + to.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool writeDiscLayout(const fs::path& root, const DiscLayout& layout, std::string* error) {
    const fs::path bdmv = root / "BDMV";
    // The folders every disc has, empty on a disc without video.
    for (const char* folder : {"PLAYLIST", "CLIPINF", "STREAM", "AUXDATA", "META", "JAR",
                               "BACKUP/PLAYLIST", "BACKUP/CLIPINF", "BACKUP/BDJO"}) {
        if (!makeFolder(bdmv / folder, error)) return false;
    }
    if (!writeWithBackup(bdmv, "index.bdmv", encodeIndex(layout.index), error) ||
        !writeWithBackup(bdmv, "MovieObject.bdmv", encodeEmptyMovieObjects(), error)) {
        return false;
    }
    for (const auto& [name, object] : layout.objects) {
        const fs::path relative = fs::path("BDJO") / (name + ".bdjo");
        const std::vector<uint8_t> bytes = encodeBdjo(object);
        if (bytes.empty() || name.size() != 5) {
            *error = (bdmv / relative).string() + ": a name does not fit the BD-J object";
            return false;
        }
        if (!writeWithBackup(bdmv, relative, bytes, error)) return false;
    }
    const std::vector<uint8_t> id = encodeId(layout.identity);
    return writeFile(root / "CERTIFICATE" / "id.bdmv", id, error) &&
           writeFile(root / "CERTIFICATE" / "BACKUP" / "id.bdmv", id, error);
}

}  // namespace merrowbdmv
