#include "bdmv/BdjoFile.h"

#include "bdmv/ByteWriter.h"

namespace merrowbdmv {

namespace {

// The header: type and version, then the start addresses of the five blocks after the terminal
// information and of the extension data, then 16 reserved bytes; the terminal information
// starts at byte 48.
constexpr size_t kTerminalInfoOffset = 48;
constexpr uint8_t kControlAutostart = 1;
constexpr uint8_t kApplicationTypeBdj = 1;
constexpr uint8_t kCacheItemJar = 1;

// A string of the application descriptor: its length byte and bytes, padded to an even size.
void writeEvenString(ByteWriter& out, const std::string& value) {
    out.u8(static_cast<uint32_t>(value.size()));
    out.text(value, value.size());
    if (value.size() % 2 == 0) out.u8(0);
}

void writeApplication(ByteWriter& out, const BdjApplication& app) {
    out.u8(kControlAutostart);
    out.u8(kApplicationTypeBdj << 4);
    out.u32(app.organisationId);
    out.u16(app.applicationId);
    // The application descriptor: tag, a reserved byte, its length and four reserved bytes.
    out.u8(0);
    out.u8(0);
    const size_t descriptor = out.beginLength32();
    out.u32(0);
    out.u16(1 << 12);  // one profile, then 12 reserved bits
    // BD-ROM profile 1, version 1.0.0, a reserved byte.
    out.u16(1);
    out.u8(1);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.u8(1);                // priority
    out.u8(3 << 6 | 3 << 4);  // title- and disc-bound; visible to users and applications
    // One name, in English: language, length, bytes; the block padded to an even size.
    const uint32_t namesLength = 3 + 1 + static_cast<uint32_t>(app.name.size());
    out.u16(namesLength);
    out.text("eng", 3);
    out.u8(static_cast<uint32_t>(app.name.size()));
    out.text(app.name, app.name.size());
    if (namesLength % 2 == 1) out.u8(0);
    writeEvenString(out, "");  // no icon
    out.u16(0);                // icon flags
    writeEvenString(out, app.jarName);
    writeEvenString(out, "");  // no class path extension
    writeEvenString(out, app.initialClass);
    out.u8(0);  // no parameters: an empty block, padded to an even size
    out.u8(0);
    out.endLength32(descriptor);
}

}  // namespace

std::vector<uint8_t> encodeBdjo(const BdjObject& object) {
    const BdjApplication& app = object.application;
    if (app.jarName.size() != 5 || app.initialClass.size() > 255 || app.name.size() > 255 ||
        object.cachedJars.size() > 255 || object.fileAccess.size() > 0xffff ||
        object.haviConfiguration > 15) {
        return {};
    }
    for (const std::string& jar : object.cachedJars) {
        if (jar.size() != 5) return {};
    }

    ByteWriter out;
    out.text("BDJO0200", 8);
    const size_t addresses = out.size();
    out.padTo(kTerminalInfoOffset);

    // Terminal information: no default font, the graphics configuration, menu call and title
    // search allowed.
    size_t length = out.beginLength32();
    out.text("*****", 5);
    out.u8(static_cast<uint32_t>(object.haviConfiguration) << 4);
    out.zeros(4);
    out.endLength32(length);

    out.putU32At(addresses, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u8(static_cast<uint32_t>(object.cachedJars.size()));
    out.u8(0);
    for (const std::string& jar : object.cachedJars) {
        out.u8(kCacheItemJar);
        out.text(jar, 5);
        out.text("*.*", 3);  // cached whatever the player's language
        out.zeros(3);
    }
    out.endLength32(length);

    // Accessible playlists: none listed, access to all, no autostart playlist.
    out.putU32At(addresses + 4, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u32(1u << 20);
    out.endLength32(length);

    out.putU32At(addresses + 8, static_cast<uint32_t>(out.size()));
    length = out.beginLength32();
    out.u8(1);
    out.u8(0);
    writeApplication(out, app);
    out.endLength32(length);

    // Key interest table: the Xlet asks for none of the playback keys.
    out.putU32At(addresses + 12, static_cast<uint32_t>(out.size()));
    out.u32(0);

    out.putU32At(addresses + 16, static_cast<uint32_t>(out.size()));
    out.u16(static_cast<uint32_t>(object.fileAccess.size()));
    out.text(object.fileAccess, object.fileAccess.size());
    return out.take();
}

}  // namespace merrowbdmv
