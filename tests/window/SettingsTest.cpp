// The two settings sections in the running program, and what a run leaves in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "window/Driver.h"
#include "window/Fixtures.h"

namespace {

using fixtures::EmptySections;
using fixtures::kQuorvexMachine;
using fixtures::kQuorvexUser;
using fixtures::kSeparator;
using fixtures::kVellumoMachine;
using fixtures::kVellumoUser;
using fixtures::RemoveProductKeys;
using fixtures::Store;
using fixtures::StoreText;

// Line by line, so that a failure names the line.
void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    EXPECT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i << " of the settings sections";
}

class SettingsSections : public ::testing::Test {
protected:
    void SetUp() override { RemoveProductKeys(); }
    void TearDown() override { RemoveProductKeys(); }

    // The two sections of a report: from the first product's head line to the separator after the second.
    static std::vector<std::string> Sections(const std::vector<std::string>& report)
    {
        size_t first = 0;
        while (first < report.size() && report[first].rfind("VLMO V", 0) != 0) ++first;
        EXPECT_LT(first, report.size()) << "no settings section";
        EXPECT_GT(first, 0u);
        if (first == 0 || first >= report.size()) return {};
        EXPECT_EQ(report[first - 1], kSeparator);
        const size_t end = std::min(report.size(), first + 56);
        return std::vector<std::string>(report.begin() + first, report.begin() + end);
    }
};

}  // namespace

TEST_F(SettingsSections, WithNeitherProductInstalledEveryLineIsItsFixedTextAndOnlyTheKeysAreLeft)
{
    const fixtures::RegistrySnapshot before = fixtures::TakeRegistrySnapshot();
    {
        driver::Program program;
        program.RunReport("Acme", "FlatScan 220");
        ExpectLines(Sections(driver::Lines(driver::ClipboardText())), EmptySections());
        program.Close();
        EXPECT_EQ(program.WaitExit(30000), 0u);
    }
    const fixtures::RegistrySnapshot after = fixtures::TakeRegistrySnapshot();

    // The machine-wide keys land in the view of a 32-bit program.
    EXPECT_EQ(fixtures::RegistryDifferences(before, after), fixtures::NewProductKeys());
}

TEST_F(SettingsSections, StoredValuesShowTrimmedAfterTheirLabelsAndEachRunReadsThemAnew)
{
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "version", " 8.1.4 ");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "Mode", "Pro\t");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "directory", "C:\\Program Files\\Tavro\\Vellumo ");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "serial", "\r\nVL-0042-77\r\n");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "cscanner", "  Acme FlatScan 220  ");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "convpaper", "1");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "jpgc", "75");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "exposure", "\t-2");
    const DWORD dpi = 600;  // a number: its label stands alone
    Store(HKEY_CURRENT_USER, kVellumoUser, "dpi", REG_DWORD, &dpi, sizeof(dpi));
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "lasterror", "Paper jam in ADF ");
    // Version without mode; no folder, no serial.
    StoreText(HKEY_LOCAL_MACHINE, kQuorvexMachine, "version", "5.2");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "cscanner", "WIA-Orbis Sheetfeed V39");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "convletter", " yes ");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "density", "3");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "jpg", "90");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "dpi", "300");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "papersize", "A4");

    std::vector<std::string> expected = EmptySections();
    const std::map<size_t, std::string> shown = {
        {0, "VLMO V8.1.4 Pro"},
        {1, "DIR C:\\Program Files\\Tavro\\Vellumo"},
        {2, "VL-0042-77"},
        {3, "Last Src > Acme FlatScan 220"},
        {13, "Crop Legal > 1"},
        {15, "Compression > 75"},
        {16, "DPI > "},
        {24, "Exposure > -2"},
        {29, "Last error > Paper jam in ADF"},
        {31, "QRVX V5.2 "},
        {34, "Last Src> > WIA-Orbis Sheetfeed V39"},
        {43, "Crop Legal > yes"},
        {46, "Exposure > 3"},
        {47, "DPI > 300"},
        {50, "Compression > 90"},
        {53, "PDF Page Size > A4"},
    };
    for (const auto& [line, text] : shown) expected[line] = text;

    driver::Program program;
    program.RunReport("Acme", "FlatScan 220");
    ExpectLines(Sections(driver::Lines(driver::ClipboardText())), expected);

    // A second run in the same program shows what the registry holds then.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kQuorvexMachine, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "version");
    RegCloseKey(key);
    StoreText(HKEY_LOCAL_MACHINE, kQuorvexMachine, "Mode", "Lite");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "dpi", "1200");
    expected[31] = "QRVX V Lite";
    expected[16] = "DPI > 1200";
    program.RunReport("Acme", "FlatScan 220");
    ExpectLines(Sections(driver::Lines(driver::ClipboardText())), expected);
}
