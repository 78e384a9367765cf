// minihost's command line.
#pragma once

#include "host/HostTableNames.h"
#include "host/HostTypes.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace minihost {

struct CHostOptions {
    std::optional<std::filesystem::path> plugInsFolder; // default: plug_ins beside minihost
    // Version at which each table is offered, indexed by HostTableId; 0: not offered.
    std::array<HostVersion, kHostTableCount> tableVersions{};
    std::int16_t hostMajorVersion = 5;
    std::int16_t hostMinorVersion = 0;
    HostVersion offeredHandshakeVersion = 0x00020000;
    std::optional<HostVersion> setupRecordVersion;
    std::optional<HostVersion> handshakeCallVersion;
    std::optional<std::uint64_t> failAtCall;
    std::vector<std::string> failOperations;
    bool traceCalls = false;
    std::optional<std::filesystem::path> logFile;
    bool exitAfterStartup = false;
    std::optional<std::filesystem::path> checkSequence; // check this file, load nothing
    bool help = false;

    CHostOptions();
};

// An option that cannot be used; what() is the message for the user.
class COptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws COptionError.
CHostOptions ParseOptions(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string GetUsageText();

// "5.0", "4.5": major.minor of a table or handshake version.
std::string FormatVersion(HostVersion version);

} // namespace minihost
