#include "cli/disc/DiscImage.h"

#include <array>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "bdmv/DiscFolder.h"
#include "cli/core/ProgramPaths.h"

namespace merrowcli::disc {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlayerJarFile = "merrowkit-player.jar";
// merrowkit's own organisation identifier on the discs it writes (unsigned discs; a player uses
// it with the disc identifier to name the application's storage).
constexpr uint32_t kOrganisationId = 0x4D4B0001;

// The disc identifier: 128 bits of FNV-1a over the model, so that the same calendar gives the
// same identifier and another calendar a different one (and its own storage on a player).
std::array<uint8_t, 16> discIdOf(const std::string& model) {
    std::array<uint8_t, 16> id{};
    for (int half = 0; half < 2; ++half) {
        uint64_t hash = 0xcbf29ce484222325ULL ^ static_cast<uint64_t>(half);
        for (unsigned char byte : model) {
            hash ^= byte;
            hash *= 0x100000001b3ULL;
        }
        for (int i = 0; i < 8; ++i) id[half * 8 + i] = static_cast<uint8_t>(hash >> (56 - 8 * i));
    }
    return id;
}

merrowbdmv::DiscLayout calendarLayout(const std::string& model) {
    merrowbdmv::DiscLayout layout;
    // The menu is interactive: no video plays under it.
    const merrowbdmv::BdjObjectRef calendar{"00000", 3};
    layout.index.firstPlay = calendar;
    layout.index.topMenu = calendar;
    layout.index.titles = {calendar};
    merrowbdmv::BdjObject object;
    object.cachedJars = {"00000"};
    object.application.organisationId = kOrganisationId;
    object.application.jarName = "00000";
    object.application.initialClass = kPlayerClass;
    object.application.name = "merrowkit calendar";
    layout.objects = {{"00000", object}};
    layout.identity.organisationId = kOrganisationId;
    layout.identity.discId = discIdOf(model);
    return layout;
}

}  // namespace

bool writeDiscImage(const fs::path& folder, const fs::path& playerJar, const std::string& model,
                    const fs::path& buildFolder, std::string* error) {
    if (!merrowbdmv::writeDiscLayout(folder, calendarLayout(model), error) ||
        !merrowbdmv::copyFile(playerJar, folder / kPlayerJar, error) ||
        !merrowbdmv::writeFile(folder / kDataFolder / kModelFile,
                               std::vector<uint8_t>(model.begin(), model.end()), error)) {
        return false;
    }
    for (const char* moved : {"tracks", kSlidesFolder}) {
        std::error_code ec;
        if (std::string(moved) == kSlidesFolder && !fs::exists(buildFolder / moved, ec)) continue;
        fs::rename(buildFolder / moved, folder / kDataFolder / moved, ec);
        if (ec) {
            *error =
                (buildFolder / moved).string() + ": cannot be moved into the disc: " + ec.message();
            return false;
        }
    }
    return true;
}

fs::path findPlayerJar() {
    const fs::path program = programFolder();
    for (const fs::path& candidate :
         {program / kPlayerJarFile, installedDataFolder(program) / kPlayerJarFile}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}

}  // namespace merrowcli::disc
