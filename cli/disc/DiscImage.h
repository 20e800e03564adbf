#pragma once
// What `merrowkit disc` puts into a disc folder besides the navigation files: the calendar's
// BD-J title (First Play, Top Menu and title 1 all start it), the player's JAR, the compiled
// menu model and the build's tracks, where the player reads them.

#include <filesystem>
#include <string>

namespace merrowcli::disc {

// Where the player (player/src/.../CalendarXlet.java, DATA_FOLDER) reads its files, from the
// disc's root.
inline constexpr const char* kDataFolder = "BDMV/JAR/00001";
inline constexpr const char* kModelFile = "menu.bin";
inline constexpr const char* kPlayerJar = "BDMV/JAR/00000.jar";
inline constexpr const char* kSlidesFolder = "slides";
inline constexpr const char* kPlayerClass = "org.merrowkit.player.CalendarXlet";

// Writes the disc into folder (which exists and is empty): the navigation files, playerJar as
// BDMV/JAR/00000.jar, model as menu.bin, and the tracks (and the slides, when there are any) of
// buildFolder moved (renamed) into the data folder. False with *error, one line naming the file.
bool writeDiscImage(const std::filesystem::path& folder, const std::filesystem::path& playerJar,
                    const std::string& model, const std::filesystem::path& buildFolder,
                    std::string* error);

// The player's JAR: merrowkit-player.jar beside the program (the build tree), else in the
// installed data folder (share/merrowkit). Empty when neither exists.
std::filesystem::path findPlayerJar();

}  // namespace merrowcli::disc
