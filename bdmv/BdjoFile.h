#pragma once
// BDMV/BDJO/NNNNN.bdjo: a BD-J object, the table that tells the player which Xlet to start for a
// title, from which JAR, with which graphics configuration.

#include <cstdint>
#include <string>
#include <vector>

namespace merrowbdmv {

struct BdjApplication {
    uint32_t organisationId = 0;
    uint16_t applicationId = 0x4000;
    // The JAR of BDMV/JAR/ holding the Xlet ("00000" for 00000.jar).
    std::string jarName;
    // The Xlet's class, with its package ("org.example.Menu").
    std::string initialClass;
    // A name shown by players that list applications.
    std::string name;
};

struct BdjObject {
    // The HAVi graphics configuration the title starts in: 1 is 1920x1080.
    uint8_t haviConfiguration = 1;
    // The JARs loaded into the application cache before the Xlet starts.
    std::vector<std::string> cachedJars;
    // One application, started with the title (autostart).
    BdjApplication application;
    // The disc files the Xlet may read, relative to the disc root (";"-separated).
    std::string fileAccess = ".";
};

// The bytes of a BDJO file (version "0200"), or empty when a name does not fit its field.
std::vector<uint8_t> encodeBdjo(const BdjObject& object);

}  // namespace merrowbdmv
