// The settings reader and the section writer against Wine's real registry.
#include "probes/settings/Settings.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>
#include <winternl.h>

#include <stdexcept>
#include <string>
#include <vector>

using settings::ReadSettingText;
using settings::SettingsSource;

namespace {

// The products' key paths, spelled out here rather than taken from the code under test.
struct RawKey {
    SettingsSource source;
    HKEY root;
    const char* path;
};
const RawKey kRawKeys[] = {
    {SettingsSource::VellumoMachine, HKEY_LOCAL_MACHINE, "Software\\Tavro Software\\Vellumo"},
    {SettingsSource::QuorvexMachine, HKEY_LOCAL_MACHINE, "Software\\Tavro Software\\Quorvex"},
    {SettingsSource::VellumoUser, HKEY_CURRENT_USER, "Software\\Tavro\\vellumo2\\settings"},
    {SettingsSource::QuorvexUser, HKEY_CURRENT_USER, "Software\\Tavro\\quorvex\\settings"},
};
const RawKey& Raw(SettingsSource source)
{
    for (const RawKey& k : kRawKeys)
        if (k.source == source) return k;
    throw std::logic_error("unknown source");
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

struct KeyCounts {
    DWORD subkeys = 0, values = 0;
};
KeyCounts Counts(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) throw std::runtime_error("no key");
    KeyCounts c;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &c.subkeys, nullptr, nullptr, &c.values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return c;
}

void Store(HKEY root, const char* path, const char* name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}
void Store(SettingsSource source, const char* name, DWORD type, const std::string& data)
{
    Store(Raw(source).root, Raw(source).path, name, type, data);
}
std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }
std::string Dword(DWORD n) { return std::string(reinterpret_cast<const char*>(&n), sizeof(n)); }

void SetDacl(HKEY root, const char* path, const char* sddl)
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
    HKEY key = nullptr;
    // The owner may always change the DACL, so a key made unreadable can be given back.
    ASSERT_EQ(RegOpenKeyExA(root, path, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    RegCloseKey(key);
    LocalFree(sd);
}
const char kReadOnly[] = "D:P(A;;KR;;;WD)";  // Everyone may read, nobody may write or create
const char kNoAccess[] = "D:P";               // nobody may do anything
const char kFullAccess[] = "D:P(A;;KA;;;WD)";

// Handles of this process, from the system's handle list (GetProcessHandleCount answers 0 under Wine).
int OwnHandleCount()
{
    struct Entry {
        ULONG pid;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) throw std::runtime_error("no NtQuerySystemInformation");
    const ULONG kSystemHandleInformation = 16;
    std::vector<char> buffer(1 << 16);
    NTSTATUS status;
    ULONG returned = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &returned)) == static_cast<NTSTATUS>(0xC0000004L))  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0) throw std::runtime_error("handle list refused");
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    int n = 0;
    for (ULONG i = 0; i < list->count; ++i)
        if (list->entries[i].pid == GetCurrentProcessId()) ++n;
    return n;
}

// The products' keys belong to the test while it runs: gone before, gone after.
class ProductKeys : public ::testing::Test {
protected:
    void SetUp() override { RemoveAll(); }
    void TearDown() override { RemoveAll(); }
    static void RemoveAll()
    {
        for (const RawKey& k : kRawKeys) {
            HKEY key = nullptr;  // a key that a test made unreadable must be given back before it can go
            if (RegOpenKeyExA(k.root, k.path, 0, WRITE_DAC, &key) != ERROR_SUCCESS) continue;
            RegCloseKey(key);
            SetDacl(k.root, k.path, kFullAccess);
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Tavro Software");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tavro");
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Tavro Software"));
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Tavro"));
    }
};

}  // namespace

TEST_F(ProductKeys, StoredValuesComeBackAsTrimmedTextOrEmpty)
{
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string text;
    } cases[] = {
        {"padded", REG_SZ, Sz(" \t Acme  FlatScan 220 \r\n"), "Acme  FlatScan 220"},
        {"controls", REG_SZ, Sz("\x01\x1f" "x y" "\x7f\x1b\x20"), "x y\x7f"},
        {"blanksonly", REG_SZ, Sz(" \t\r\n\x01\x1f "), ""},
        {"nbsp", REG_SZ, Sz("\xA0" "600 dpi\xA0"), "\xA0" "600 dpi\xA0"},
        {"high", REG_SZ, Sz(" \xE9t\xE9 "), "\xE9t\xE9"},
        {"number", REG_DWORD, Dword(600), ""},
        {"binary", REG_BINARY, std::string("abc", 3), ""},
        {"multi", REG_MULTI_SZ, std::string("abc\0def\0\0", 9), ""},
        {"qword", REG_QWORD, Dword(1) + Dword(0), ""},
        {"expand", REG_EXPAND_SZ, Sz(" %TEMP%\\scans "), "%TEMP%\\scans"},
        {"nulinside", REG_SZ, Sz(std::string(" before \0 after", 15)), "before"},
        {"nulfirst", REG_SZ, Sz(std::string("\0after", 6)), ""},
        {"noterminator", REG_SZ, std::string("no terminator"), "no terminator"},
        {"emptytext", REG_SZ, Sz(""), ""},
        {"zerotext", REG_SZ, "", ""},
        {"zerobinary", REG_BINARY, "", ""},
        {"zeronumber", REG_DWORD, "", ""},
        {"long", REG_SZ, Sz(std::string(5000, 'x') + " "), std::string(5000, 'x')},
    };
    for (const auto& c : cases) Store(SettingsSource::VellumoUser, c.name, c.type, c.data);
    for (const auto& c : cases) EXPECT_EQ(ReadSettingText(SettingsSource::VellumoUser, c.name), c.text) << c.name;
    EXPECT_EQ(ReadSettingText(SettingsSource::VellumoUser, "missing"), "");
}

TEST_F(ProductKeys, EachSourceReadsItsOwnKeyAndNotTheRoot)
{
    for (const RawKey& k : kRawKeys) Store(k.root, k.path, "which", REG_SZ, Sz(k.path));
    for (const RawKey& k : kRawKeys) EXPECT_EQ(ReadSettingText(k.source, "which"), k.path);

    // A value of the same name one key up, or directly under the root, is not the source's.
    Store(HKEY_CURRENT_USER, "Software\\Tavro\\quorvex", "above", REG_SZ, Sz("parent"));
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "tavro-root-probe", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>("root"), 5),
              ERROR_SUCCESS);
    EXPECT_EQ(ReadSettingText(SettingsSource::QuorvexUser, "above"), "");
    EXPECT_EQ(ReadSettingText(SettingsSource::QuorvexUser, "tavro-root-probe"), "");
    RegDeleteValueA(HKEY_CURRENT_USER, "tavro-root-probe");
}

TEST_F(ProductKeys, AMissingKeyIsCreatedWithItsParentsAndStaysEmpty)
{
    for (const RawKey& k : kRawKeys) {
        SCOPED_TRACE(k.path);
        EXPECT_EQ(ReadSettingText(k.source, "version"), "");
        ASSERT_TRUE(KeyExists(k.root, k.path));
        EXPECT_EQ(Counts(k.root, k.path).values, 0u);
        EXPECT_EQ(Counts(k.root, k.path).subkeys, 0u);
        EXPECT_EQ(ReadSettingText(k.source, "version"), "");
        EXPECT_EQ(Counts(k.root, k.path).values, 0u);
    }
    // Only the four keys and the keys above them: nothing beside them.
    EXPECT_EQ(Counts(HKEY_LOCAL_MACHINE, "Software\\Tavro Software").subkeys, 2u);
    EXPECT_EQ(Counts(HKEY_LOCAL_MACHINE, "Software\\Tavro Software").values, 0u);
    EXPECT_EQ(Counts(HKEY_CURRENT_USER, "Software\\Tavro").subkeys, 2u);
    EXPECT_EQ(Counts(HKEY_CURRENT_USER, "Software\\Tavro\\vellumo2").subkeys, 1u);
    EXPECT_EQ(Counts(HKEY_CURRENT_USER, "Software\\Tavro\\quorvex").subkeys, 1u);
}

// A user who may read but not write a machine-wide key still sees its values.
TEST_F(ProductKeys, AKeyThatCannotBeWrittenIsReadReadOnly)
{
    const RawKey& k = Raw(SettingsSource::VellumoMachine);
    Store(k.root, k.path, "version", REG_SZ, Sz(" 8.1.4 "));
    SetDacl(k.root, k.path, kReadOnly);
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExA(k.root, k.path, 0, KEY_ALL_ACCESS, &probe), ERROR_ACCESS_DENIED)
        << "this prefix does not enforce key security; the fallback would go untested";

    EXPECT_EQ(ReadSettingText(SettingsSource::VellumoMachine, "version"), "8.1.4");
    EXPECT_EQ(ReadSettingText(SettingsSource::VellumoMachine, "Mode"), "");
    SetDacl(k.root, k.path, kFullAccess);
    EXPECT_EQ(Counts(k.root, k.path).values, 1u);
    EXPECT_EQ(Counts(k.root, k.path).subkeys, 0u);
}

TEST_F(ProductKeys, AKeyThatCannotBeOpenedAtAllGivesEmptyText)
{
    const RawKey& k = Raw(SettingsSource::QuorvexUser);
    Store(k.root, k.path, "dpi", REG_SZ, Sz("600"));
    SetDacl(k.root, k.path, kNoAccess);
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExA(k.root, k.path, 0, KEY_READ, &probe), ERROR_ACCESS_DENIED);
    // Also where a value of that name lies directly under the root key.
    ASSERT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "dpi", 0, REG_SZ, reinterpret_cast<const BYTE*>("300"), 4),
              ERROR_SUCCESS);

    EXPECT_EQ(ReadSettingText(SettingsSource::QuorvexUser, "dpi"), "");
    RegDeleteValueA(HKEY_CURRENT_USER, "dpi");
    SetDacl(k.root, k.path, kFullAccess);
    EXPECT_EQ(Counts(k.root, k.path).subkeys, 0u);
}

TEST_F(ProductKeys, NoHandleStaysOpenOnAnyPath)
{
    Store(SettingsSource::VellumoUser, "dpi", REG_SZ, Sz(" 600 "));
    Store(SettingsSource::VellumoUser, "adf", REG_DWORD, Dword(1));
    Store(SettingsSource::VellumoUser, "zero", REG_SZ, "");
    Store(SettingsSource::VellumoMachine, "version", REG_SZ, Sz("8"));
    SetDacl(HKEY_LOCAL_MACHINE, Raw(SettingsSource::VellumoMachine).path, kReadOnly);
    Store(SettingsSource::QuorvexUser, "dpi", REG_SZ, Sz("600"));
    SetDacl(HKEY_CURRENT_USER, Raw(SettingsSource::QuorvexUser).path, kNoAccess);

    const auto readEveryPath = [] {
        ReadSettingText(SettingsSource::VellumoUser, "dpi");          // text
        ReadSettingText(SettingsSource::VellumoUser, "adf");          // not text
        ReadSettingText(SettingsSource::VellumoUser, "zero");         // size 0
        ReadSettingText(SettingsSource::VellumoUser, "missing");      // no value
        ReadSettingText(SettingsSource::VellumoMachine, "version");   // read-only fallback
        ReadSettingText(SettingsSource::QuorvexUser, "dpi");          // no key at all
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Tavro Software\\Quorvex");
        ReadSettingText(SettingsSource::QuorvexMachine, "version");   // key created
    };
    readEveryPath();  // the first use of a root key opens it for the rest of the process
    const int before = OwnHandleCount();
    for (int i = 0; i < 100; ++i) readEveryPath();
    EXPECT_EQ(OwnHandleCount(), before);
    EXPECT_EQ(ReadSettingText(SettingsSource::VellumoUser, "dpi"), "600");
    EXPECT_EQ(ReadSettingText(SettingsSource::VellumoMachine, "version"), "8");
}

// The writer reads every value at the moment its line is written: a value stored while the line before
// is being written shows in the line after.
TEST_F(ProductKeys, ASectionReadsEachValueAsItsLineIsWritten)
{
    const settings::SectionTable& table = settings::kQuorvexSection;
    std::vector<std::string> lines;
    // Which value each next line shows: machine "directory", "serial", then the rows' per-user values.
    std::vector<std::pair<SettingsSource, std::string>> next = {{SettingsSource::QuorvexMachine, "directory"},
                                                                 {SettingsSource::QuorvexMachine, "serial"}};
    for (const auto& row : table.rows) next.push_back({SettingsSource::QuorvexUser, row.valueName});
    Store(SettingsSource::QuorvexMachine, "version", REG_SZ, Sz("5.2"));
    Store(SettingsSource::QuorvexMachine, "Mode", REG_SZ, Sz("Pro"));

    settings::WriteSettingsSection(table, [&](const std::string& line) {
        const size_t i = lines.size();
        lines.push_back(line);
        if (i < next.size()) Store(next[i].first, next[i].second.c_str(), REG_SZ, Sz(" v" + std::to_string(i)));
    });

    std::vector<std::string> expected = {"QRVX V5.2 Pro", "DIR v0", "v1"};
    for (size_t r = 0; r < table.rows.size(); ++r)
        expected.push_back(table.rows[r].label + ("v" + std::to_string(r + 2)));
    EXPECT_EQ(lines, expected);
}
