#include "probes/host/HostFacts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

TEST(FormatUptime, MatchesTheTable)
{
    const struct {
        uint32_t ms;
        const char* text;
    } cases[] = {
        {0, "0-0:0:0"},
        {999, "0-0:0:0"},
        {1000, "0-0:0:1"},
        {86400000u, "1-0:0:0"},
        {86400000u - 1, "0-23:59:59"},
        {86400000u + 3600000u + 60000u + 1001u, "1-1:1:1"},
        {2147483647u, "24-20:31:23"},
        {2147483648u, "24-20:31:23"},
        {4294967295u, "49-17:2:47"},
    };
    for (const auto& c : cases) EXPECT_EQ(host::FormatUptime(c.ms), c.text) << c.ms;
}

TEST(FormatOSLine, NamesThePlatformAndPrintsUnsignedNumbers)
{
    const struct {
        uint32_t platform, major, minor, build;
        const char* line;
    } cases[] = {
        {0, 6, 1, 7601, " 6.1  Build 7601"},
        {1, 4, 10, 2222, "Windows 9X 4.10  Build 2222"},
        {2, 6, 1, 7601, "Windows NT 6.1  Build 7601"},
        {3, 10, 0, 19045, " 10.0  Build 19045"},
        {2, 5, 1, 4294967295u, "Windows NT 5.1  Build 4294967295"},
    };
    for (const auto& c : cases) {
        host::OSVersionRecord r{c.major, c.minor, c.build, host::PlatformName(c.platform)};
        EXPECT_EQ(host::FormatOSLine(r), c.line);
    }
    EXPECT_EQ(host::FormatOSLine(host::OSVersionRecord{}), " 0.0  Build 0");
}

TEST(ReadOSVersion, FillsTheRecordFromTheSystemAndReplacesWhatItHeld)
{
    host::OSVersionRecord record{99, 99, 99, "stale"};
    host::ReadOSVersion(record);
    OSVERSIONINFOA info = {sizeof(info)};
    GetVersionExA(&info);
    EXPECT_EQ(record.major, info.dwMajorVersion);
    EXPECT_EQ(record.minor, info.dwMinorVersion);
    EXPECT_EQ(record.build, info.dwBuildNumber);
    EXPECT_EQ(record.platformName, "Windows NT");
}

TEST(HostFacts, FolderQueriesAndBitnessMatchThePrefix)
{
    char system[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(host::SystemDirectoryText(), system);
    EXPECT_EQ(host::TempPathText(), temp);
    EXPECT_EQ(host::TempPathText().back(), '\\');

    const char* arch = std::getenv("TAVRO_ARCH");
    ASSERT_NE(arch, nullptr);
    EXPECT_EQ(host::IsWow64(), std::string(arch) == "win64");
}

TEST(EnvironmentText, GivesTheWholeValueOrNothing)
{
    const std::string longValue(30000, 'x');  // variables hold at most 32767 characters
    SetEnvironmentVariableA("TAVRO_TEST_VAR", longValue.c_str());
    EXPECT_EQ(host::EnvironmentText("TAVRO_TEST_VAR"), longValue);
    SetEnvironmentVariableA("TAVRO_TEST_VAR", "C:\\some temp");
    EXPECT_EQ(host::EnvironmentText("TAVRO_TEST_VAR"), "C:\\some temp");
    SetEnvironmentVariableA("TAVRO_TEST_VAR", nullptr);
    EXPECT_EQ(host::EnvironmentText("TAVRO_TEST_VAR"), "");
}
