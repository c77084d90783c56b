// The two settings sections in the running program, and what a run leaves in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "window/Driver.h"

namespace {

const std::string kSeparator(78, '-');

// Content of a registry tree, keys by full path, values by name (type and data). Walked in the 64-bit
// view where there is one, so that the 32-bit view's Wow6432Node is seen as the key it really is.
struct Value {
    DWORD type;
    std::string data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};
using Snapshot = std::map<std::string, std::map<std::string, Value>>;

void Walk(HKEY parent, const std::string& name, const std::string& path, Snapshot& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.empty() ? nullptr : name.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        out[path + " <unreadable>"];
        return;
    }
    auto& values = out[path];
    DWORD subkeys = 0, maxSubkey = 0, count = 0, maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &count, &maxName, &maxData,
                     nullptr, nullptr);
    for (DWORD i = 0;; ++i) {
        std::string valueName(maxName + 2, '\0'), data(maxData + 1, '\0');
        DWORD nameSize = static_cast<DWORD>(valueName.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
        const LONG r = RegEnumValueA(key, i, &valueName[0], &nameSize, nullptr, &type,
                                     reinterpret_cast<BYTE*>(&data[0]), &dataSize);
        if (r != ERROR_SUCCESS) break;
        valueName.resize(nameSize);
        data.resize(dataSize);
        values[valueName] = {type, data};
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        std::string child(maxSubkey + 2, '\0');
        DWORD size = static_cast<DWORD>(child.size());
        if (RegEnumKeyExA(key, i, &child[0], &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        child.resize(size);
        children.push_back(child);
    }
    for (const std::string& child : children) Walk(key, child, path + "\\" + child, out);
    RegCloseKey(key);
}

Snapshot TakeSnapshot()
{
    Snapshot s;
    Walk(HKEY_LOCAL_MACHINE, "", "HKLM", s);
    Walk(HKEY_CURRENT_USER, "", "HKCU", s);
    return s;
}

// What Wine itself writes when any window program starts: user32's temporary system parameters and
// the display driver's date stamp. Not the program's doing.
bool WineBookkeeping(const std::string& path, const std::string& valueName)
{
    return path.rfind("HKCU\\Software\\Wine\\Temporary System Parameters", 0) == 0 ||
           (path.rfind("HKLM\\System\\CurrentControlSet\\Control\\", 0) == 0 && valueName == "DriverDateData");
}

// Every difference between two snapshots, one text per key or value, apart from Wine's bookkeeping.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after)
{
    std::vector<std::string> out;
    const auto note = [&](const std::string& what, const std::string& path, const std::string& valueName) {
        if (WineBookkeeping(path, valueName)) return;
        out.push_back(what + path + (valueName.empty() ? "" : " : " + valueName));
    };
    for (const auto& [path, values] : after) {
        const auto old = before.find(path);
        if (old == before.end()) {
            note(values.empty() ? "added key " : "added key with values ", path, "");
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto was = old->second.find(name);
            if (was == old->second.end()) note("added value ", path, name);
            else if (!(was->second == value)) note("changed value ", path, name);
        }
        for (const auto& [name, value] : old->second)
            if (!values.count(name)) note("removed value ", path, name);
    }
    for (const auto& [path, values] : before)
        if (!after.count(path)) note("removed key ", path, "");
    return out;
}

bool IsWow64()
{
    BOOL wow = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

void Store(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}
void StoreText(HKEY root, const char* path, const char* name, const std::string& text)
{
    Store(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

const char kVellumoMachine[] = "Software\\Tavro Software\\Vellumo";
const char kQuorvexMachine[] = "Software\\Tavro Software\\Quorvex";
const char kVellumoUser[] = "Software\\Tavro\\vellumo2\\settings";
const char kQuorvexUser[] = "Software\\Tavro\\quorvex\\settings";

// Neither product installed: no key of either, in the view the program sees.
void RemoveProductKeys()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Tavro Software");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tavro");
}

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

// The lines of both sections with nothing stored, byte for byte; the tests put values after the labels.
std::vector<std::string> EmptySections()
{
    return {
        "VLMO V ",
        "DIR ",
        "",
        "Last Src > ",
        "Dialog(rev) > ",
        "Auto TRX > ",
        "Buffered(VST) > ",
        "Twain 1.7(+Buff=EN) > ",
        "Native WIA > ",
        "File Trans > ",
        "Default Save > ",
        "Save Location > ",
        "Negative > ",
        "Crop Legal > ",
        "Col to GS > ",
        "Compression > ",
        "DPI > ",
        "Color > ",
        "Paper size > ",
        "CustomX > ",
        "CustomY > ",
        "ADF > ",
        "Duplex > ",
        "Xoffset > ",
        "Exposure > ",
        "Frames > ",
        "Cleanup > ",
        "Variable > ",
        "PDF DPI > ",
        "Last error > ",
        kSeparator,
        "QRVX V ",
        "DIR ",
        "",
        "Last Src> > ",
        "Use Dialog > ",
        "Auto TRX > ",
        "Twain1.8 > ",
        "Native WIA > ",
        "WIA Connected > ",
        "ADF > ",
        "Color > ",
        "Conv GS > ",
        "Crop Legal > ",
        "Def Save > ",
        "Path > ",
        "Exposure > ",
        "DPI > ",
        "Rej > ",
        "Extended Save Dialog > ",
        "Compression > ",
        "Keep Twain Conn Open > ",
        "Negative > ",
        "PDF Page Size > ",
        "Last error > ",
        kSeparator,
    };
}

}  // namespace

TEST_F(SettingsSections, WithNeitherProductInstalledEveryLineIsItsFixedTextAndOnlyTheKeysAreLeft)
{
    const Snapshot before = TakeSnapshot();
    {
        driver::Program program;
        program.RunReport("Canon", "LiDE 220");
        ExpectLines(Sections(driver::Lines(driver::ClipboardText())), EmptySections());
        program.Close();
        EXPECT_EQ(program.WaitExit(30000), 0u);
    }
    const Snapshot after = TakeSnapshot();

    // The machine-wide keys land in the view of a 32-bit program.
    const std::string machine =
        IsWow64() ? "HKLM\\Software\\Wow6432Node\\Tavro Software" : "HKLM\\Software\\Tavro Software";
    const std::vector<std::string> expected = {
        "added key HKCU\\Software\\Tavro",
        "added key HKCU\\Software\\Tavro\\quorvex",
        "added key HKCU\\Software\\Tavro\\quorvex\\settings",
        "added key HKCU\\Software\\Tavro\\vellumo2",
        "added key HKCU\\Software\\Tavro\\vellumo2\\settings",
        "added key " + machine,
        "added key " + machine + "\\Quorvex",
        "added key " + machine + "\\Vellumo",
    };
    EXPECT_EQ(Differences(before, after), expected);
}

TEST_F(SettingsSections, StoredValuesShowTrimmedAfterTheirLabelsAndEachRunReadsThemAnew)
{
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "version", " 8.1.4 ");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "Mode", "Pro\t");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "directory", "C:\\Program Files\\Tavro\\Vellumo ");
    StoreText(HKEY_LOCAL_MACHINE, kVellumoMachine, "serial", "\r\nVL-0042-77\r\n");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "cscanner", "  Canon LiDE 220  ");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "convpaper", "1");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "jpgc", "75");
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "exposure", "\t-2");
    const DWORD dpi = 600;  // a number: its label stands alone
    Store(HKEY_CURRENT_USER, kVellumoUser, "dpi", REG_DWORD, &dpi, sizeof(dpi));
    StoreText(HKEY_CURRENT_USER, kVellumoUser, "lasterror", "Paper jam in ADF ");
    // Version without mode; no folder, no serial.
    StoreText(HKEY_LOCAL_MACHINE, kQuorvexMachine, "version", "5.2");
    StoreText(HKEY_CURRENT_USER, kQuorvexUser, "cscanner", "WIA-Epson Perfection V39");
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
        {3, "Last Src > Canon LiDE 220"},
        {13, "Crop Legal > 1"},
        {15, "Compression > 75"},
        {16, "DPI > "},
        {24, "Exposure > -2"},
        {29, "Last error > Paper jam in ADF"},
        {31, "QRVX V5.2 "},
        {34, "Last Src> > WIA-Epson Perfection V39"},
        {43, "Crop Legal > yes"},
        {46, "Exposure > 3"},
        {47, "DPI > 300"},
        {50, "Compression > 90"},
        {53, "PDF Page Size > A4"},
    };
    for (const auto& [line, text] : shown) expected[line] = text;

    driver::Program program;
    program.RunReport("Canon", "LiDE 220");
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
    program.RunReport("Canon", "LiDE 220");
    ExpectLines(Sections(driver::Lines(driver::ClipboardText())), expected);
}
