// Facts about the machine: uptime, operating system, bitness, folders.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// "days-hours:minutes:seconds" of a millisecond count, each number without leading zeros.
std::string FormatUptime(uint32_t milliseconds);
std::string UptimeText();

struct OSVersionRecord {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::string platformName;  // "Windows 9X", "Windows NT" or empty
};

// 1 gives "Windows 9X", 2 "Windows NT", anything else an empty name.
std::string PlatformName(uint32_t platformId);
// The report's OS line: name, blank, major.minor, two blanks, "Build ", build.
std::string FormatOSLine(const OSVersionRecord& record);

// Fills the record from GetVersionExA.
void ReadOSVersion(OSVersionRecord& record);

// True when this 32-bit process runs on 64-bit Windows.
bool IsWow64();
std::string SystemDirectoryText();
std::string TempPathText();
// The variable's whole value, whatever its length; empty when it is not set.
std::string EnvironmentText(const std::string& name);

}  // namespace host
