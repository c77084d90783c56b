#include "probes/host/HostFacts.h"

#include "ui/Library.h"

#include <windows.h>

#include <vector>

namespace host {

std::string FormatUptime(uint32_t ms)
{
    const uint32_t days = ms / 86400000u;
    uint32_t rest = ms % 86400000u;
    const uint32_t hours = rest / 3600000u;
    rest %= 3600000u;
    const uint32_t minutes = rest / 60000u;
    rest %= 60000u;
    const uint32_t seconds = rest / 1000u;
    return std::to_string(days) + "-" + std::to_string(hours) + ":" + std::to_string(minutes) + ":" +
           std::to_string(seconds);
}

std::string UptimeText()
{
    return FormatUptime(GetTickCount());
}

std::string PlatformName(uint32_t platformId)
{
    switch (platformId) {
    case 1: return "Windows 9X";
    case 2: return "Windows NT";
    default: return "";
    }
}

std::string FormatOSLine(const OSVersionRecord& r)
{
    return r.platformName + " " + std::to_string(r.major) + "." + std::to_string(r.minor) + "  Build " +
           std::to_string(r.build);
}

void ReadOSVersion(OSVersionRecord& record)
{
    OSVERSIONINFOA info = {};
    static_assert(sizeof(info) == 148, "OSVERSIONINFOA is 148 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);  // its result is not consulted: a failed query leaves the zeroed structure
    const std::string name = PlatformName(info.dwPlatformId);
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.build = info.dwBuildNumber;
    record.platformName = name;
}

bool IsWow64()
{
    ui::Library kernel(LoadLibraryA("kernel32.dll"));
    if (!kernel) return false;
    auto isWow64Process = kernel.Proc<decltype(::IsWow64Process)>("IsWow64Process");
    if (!isWow64Process) return false;
    BOOL flag = 0;
    return isWow64Process(GetCurrentProcess(), &flag) && flag != 0;
}

std::string SystemDirectoryText()
{
    char buffer[260] = {};
    GetSystemDirectoryA(buffer, sizeof(buffer));
    return buffer;  // up to the first NUL
}

std::string TempPathText()
{
    char buffer[260] = {};
    GetTempPathA(sizeof(buffer), buffer);
    return buffer;  // up to the first NUL
}

std::string EnvironmentText(const std::string& name)
{
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD n = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return "";
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);  // n counts the NUL when the buffer was too small
    }
}

}  // namespace host
