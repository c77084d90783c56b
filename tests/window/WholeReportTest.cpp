// The whole report of the real program on a machine the test prepares, line for line from the title to
// the last process name; and a complete run leaving the prefix as it found it, but for the four keys.
#include "window/Driver.h"
#include "window/Fixtures.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace fixtures;

namespace {

const char kMake[] = " Tavro  Flatbed ";  // blanks stay as typed
const char kModel[] = "4800 / rev. B";
const char kKnownTemp[] = "C:\\Tavro E2E\\Temp Folder";

// ---- The expected report ----

// One expected line: exact text, or a line whose value the test can only bound.
struct Expected {
    enum Kind { kExact, kDateTime, kUptime } kind;
    std::string section;
    std::string text;
};

void Add(std::vector<Expected>& out, const std::string& section, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) out.push_back({Expected::kExact, section, line});
}

// What a run shows of the local time between two moments: for every whole second, the user's short date,
// a blank and the long time (the date alone at midnight exactly).
std::set<std::string> DateTimeLines(const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    const auto ticks = [](const SYSTEMTIME& t) {
        FILETIME f;
        SystemTimeToFileTime(&t, &f);
        return (ULONGLONG(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000000 * 10000000;
    };
    std::set<std::string> lines;
    for (ULONGLONG at = ticks(from); at <= ticks(to); at += 10000000) {
        const FILETIME f = {DWORD(at), DWORD(at >> 32)};
        SYSTEMTIME t;
        FileTimeToSystemTime(&f, &t);
        char date[128] = {}, time[128] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, sizeof(date));
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, sizeof(time));
        lines.insert(t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0 ? date : std::string(date) + " " + time);
    }
    return lines;
}

// "d-h:m:s" in seconds, or nothing when the line is not of that form.
std::optional<unsigned long long> UptimeSeconds(const std::string& line)
{
    unsigned long d, h, m, s;
    char end;
    if (sscanf(line.c_str(), "%lu-%lu:%lu:%lu%c", &d, &h, &m, &s, &end) != 4 || h > 23 || m > 59 || s > 59)
        return std::nullopt;
    if (line != std::to_string(d) + "-" + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s))
        return std::nullopt;  // leading zeros or a sign
    return d * 86400ull + h * 3600 + m * 60 + s;
}

std::vector<std::string> HostBlock()
{
    OSVERSIONINFOA v = {sizeof(v)};
    GetVersionExA(&v);
    const std::string platform = v.dwPlatformId == 2 ? "Windows NT" : v.dwPlatformId == 1 ? "Windows 9X" : "";
    char system[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    // The temporary path comes from TEMP, with TMP unset by the machine below.
    EXPECT_EQ(std::string(temp), std::string(kKnownTemp) + "\\");
    const bool win64 = std::string(std::getenv("TAVRO_ARCH")) == "win64";
    EXPECT_EQ(IsWow64(), win64);
    return {platform + " " + std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "  Build " +
                std::to_string(v.dwBuildNumber),
            win64 ? "64 Bit" : "32 Bit", system, kKnownTemp, temp};
}

// The search of the data source section, done again with the plain find calls: own matching files in the
// platform's order, then every sub-folder that is neither hidden nor system nor a link, depth first.
void Search(const std::string& folder, const std::string& mask, std::vector<std::string>& out)
{
    const std::string base = folder.back() == '\\' ? folder : folder + "\\";
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((base + mask).c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(base + d.cFileName);
        while (FindNextFileA(h, &d));
        FindClose(h);
    }
    std::vector<std::string> folders;
    h = FindFirstFileA((base + "*.*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return;
    const DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT;
    do {
        const std::string name = d.cFileName;
        if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(d.dwFileAttributes & skipped) && name != "." &&
            name != "..")
            folders.push_back(base + name);
    } while (FindNextFileA(h, &d));
    FindClose(h);
    for (const std::string& sub : folders) Search(sub, mask, out);
}

struct DataSourceLines {
    std::vector<std::string> dataSources, twainFiles;
};

DataSourceLines SearchBoth()
{
    DataSourceLines lines;
    Search("c:\\windows\\twain_32", "*.ds", lines.dataSources);
    Search("c:\\windows", "*Twain*.*", lines.twainFiles);
    return lines;
}

std::vector<std::string> DataSourceSection(const DataSourceLines& found)
{
    std::vector<std::string> lines = {"Installed Data Sources:"};
    lines.insert(lines.end(), found.dataSources.begin(), found.dataSources.end());
    lines.push_back(kSeparator);
    lines.insert(lines.end(), found.twainFiles.begin(), found.twainFiles.end());
    return lines;
}

// ---- The processes around the run ----

struct Process {
    DWORD id;
    std::string name;
};

std::vector<Process> Processes()
{
    std::vector<Process> list;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e = {sizeof(e)};
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e))
        list.push_back({e.th32ProcessID, e.szExeFile});
    CloseHandle(snap);
    return list;
}

std::vector<std::string> Names(const std::vector<Process>& list)
{
    std::vector<std::string> names;
    for (const Process& p : list) names.push_back(p.name);
    return names;
}

// The process section against the snapshots taken before and after the run: the same list when nothing
// started or ended meanwhile; otherwise every process that ran throughout, in the system's order, and
// nothing that ran at neither moment.
void ExpectProcessSection(const std::vector<std::string>& section, const std::vector<Process>& before,
                          const std::vector<Process>& after)
{
    if (Names(before) == Names(after)) {
        EXPECT_EQ(section, Names(before)) << "process section";
        return;
    }
    std::set<DWORD> later;
    for (const Process& p : after) later.insert(p.id);
    std::multiset<std::string> known;
    for (const Process& p : before) known.insert(p.name);
    for (const Process& p : after) known.insert(p.name);
    for (const std::string& name : section) EXPECT_TRUE(known.count(name)) << name << " in the process section";
    auto at = section.begin();
    for (const Process& p : before) {
        if (!later.count(p.id)) continue;
        at = std::find(at, section.end(), p.name);
        ASSERT_NE(at, section.end()) << p.name << " ran throughout but is missing or out of order";
        ++at;
    }
    EXPECT_LE(section.size(), before.size() + after.size());
}

// ---- The machine ----

// TEMP of a known value and TMP unset for the program (it inherits this process's environment); the
// test's own values come back afterwards.
class KnownTemp {
public:
    KnownTemp() : temp_(Get("TEMP")), tmp_(Get("TMP"))
    {
        SetEnvironmentVariableA("TEMP", kKnownTemp);
        SetEnvironmentVariableA("TMP", nullptr);
    }
    KnownTemp(const KnownTemp&) = delete;
    KnownTemp& operator=(const KnownTemp&) = delete;
    ~KnownTemp()
    {
        SetEnvironmentVariableA("TEMP", temp_ ? temp_->c_str() : nullptr);
        SetEnvironmentVariableA("TMP", tmp_ ? tmp_->c_str() : nullptr);
    }

private:
    static std::optional<std::string> Get(const char* name)
    {
        char value[32768];
        const DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
        if (n == 0 || n >= sizeof(value)) return std::nullopt;
        return std::string(value, n);
    }
    std::optional<std::string> temp_, tmp_;
};

// Folders and files the machine gets, each made in this order and taken away again.
const char kDsFolder[] = "c:\\windows\\twain_32\\Tavro E2E";
const char kDsHidden[] = "c:\\windows\\twain_32\\Tavro E2E Hidden";
const char kTree[] = "c:\\windows\\Tavro E2E Tree";
const char kDirectTwainFile[] = "c:\\windows\\tavro-e2e-Twain.ini";
const char kHiddenDs[] = "c:\\windows\\twain_32\\tavro-hidden.ds";

// Data source files and Twain-named files in known places, including hidden ones and hidden or system
// folders that the search must pass by.
class KnownFiles {
public:
    KnownFiles()
    {
        Clean();
        Folder(kDsFolder);
        MakeFile(std::string(kDsFolder) + "\\Extra Source.ds");
        MakeFile(std::string(kDsFolder) + "\\TavroTwainScan.ds");
        MakeFile(std::string(kDsFolder) + "\\notes.txt");
        MakeFile(kHiddenDs);
        SetFileAttributesA(kHiddenDs, FILE_ATTRIBUTE_HIDDEN);
        Folder(kDsHidden, FILE_ATTRIBUTE_HIDDEN);
        MakeFile(std::string(kDsHidden) + "\\unseen.ds");
        MakeFile(kDirectTwainFile);
        Folder(kTree);
        Folder(std::string(kTree) + "\\TwainFolder");
        MakeFile(std::string(kTree) + "\\TwainFolder\\x.TWAIN.log");
        Folder(std::string(kTree) + "\\docs");
        MakeFile(std::string(kTree) + "\\docs\\Notes-twain.txt");
        MakeFile(std::string(kTree) + "\\docs\\Notes.txt");
        Folder(std::string(kTree) + "\\System Stuff", FILE_ATTRIBUTE_SYSTEM);
        MakeFile(std::string(kTree) + "\\System Stuff\\TwainSys.txt");
    }
    KnownFiles(const KnownFiles&) = delete;
    KnownFiles& operator=(const KnownFiles&) = delete;
    ~KnownFiles() { Clean(); }

private:
    static void Folder(const std::string& path, DWORD attributes = 0)
    {
        if (!CreateDirectoryA(path.c_str(), nullptr)) throw std::runtime_error("cannot create " + path);
        if (attributes) SetFileAttributesA(path.c_str(), attributes);
    }
    static void Clean()
    {
        for (const char* folder : {kDsFolder, kDsHidden, kTree}) RemoveTree(folder);
        for (const char* file : {kDirectTwainFile, kHiddenDs}) {
            SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file);
        }
    }
};

// The products' keys, with nothing in them but what a test stores; none of them afterwards.
class ProductKeys {
public:
    ProductKeys() { RemoveProductKeys(); }
    ProductKeys(const ProductKeys&) = delete;
    ProductKeys& operator=(const ProductKeys&) = delete;
    ~ProductKeys() { RemoveProductKeys(); }
};

// Stored values of both products in all four keys, and the line of the settings sections each one gives
// (an index into EmptySections()).
struct StoredValue {
    HKEY root;
    const char* path;
    const char* name;
    std::string text;
    size_t line;
    std::string shown;
};

const std::vector<StoredValue>& StoredValues()
{
    static const std::vector<StoredValue> values = {
        {HKEY_LOCAL_MACHINE, kVellumoMachine, "version", "  9.0.2", 0, ""},
        {HKEY_LOCAL_MACHINE, kVellumoMachine, "Mode", "Network ", 0, "VLMO V9.0.2 Network"},
        {HKEY_LOCAL_MACHINE, kVellumoMachine, "directory", "C:\\Program Files\\Tavro Software\\Vellumo\\", 1,
         "DIR C:\\Program Files\\Tavro Software\\Vellumo\\"},
        {HKEY_LOCAL_MACHINE, kVellumoMachine, "serial", "\tVL-9911-0001\r\n", 2, "VL-9911-0001"},
        {HKEY_CURRENT_USER, kVellumoUser, "cscanner", " Tavro Flatbed 4800 ", 3, "Last Src > Tavro Flatbed 4800"},
        {HKEY_CURRENT_USER, kVellumoUser, "twain17", "1", 7, "Twain 1.7(+Buff=EN) > 1"},
        {HKEY_CURRENT_USER, kVellumoUser, "saveloc", "C:\\Scans\\My  Folder", 11, "Save Location > C:\\Scans\\My  Folder"},
        {HKEY_CURRENT_USER, kVellumoUser, "convpaper", "0", 13, "Crop Legal > 0"},
        {HKEY_CURRENT_USER, kVellumoUser, "exposure", "   ", 24, "Exposure > "},
        {HKEY_CURRENT_USER, kVellumoUser, "lasterror", "Paper jam ", 29, "Last error > Paper jam"},
        {HKEY_LOCAL_MACHINE, kQuorvexMachine, "Mode", "Lite", 31, "QRVX V Lite"},
        {HKEY_LOCAL_MACHINE, kQuorvexMachine, "directory", " D:\\Quorvex ", 32, "DIR D:\\Quorvex"},
        {HKEY_LOCAL_MACHINE, kQuorvexMachine, "serial", "QX 77 12", 33, "QX 77 12"},
        {HKEY_CURRENT_USER, kQuorvexUser, "cscanner", "Tavro Flatbed 4800", 34, "Last Src> > Tavro Flatbed 4800"},
        {HKEY_CURRENT_USER, kQuorvexUser, "convletter", "1", 43, "Crop Legal > 1"},
        {HKEY_CURRENT_USER, kQuorvexUser, "density", " 5", 46, "Exposure > 5"},
        {HKEY_CURRENT_USER, kQuorvexUser, "jpg", "85", 50, "Compression > 85"},
        {HKEY_CURRENT_USER, kQuorvexUser, "lasterror", "\t", 54, "Last error > "},
    };
    return values;
}

const DWORD kDpi = 300;  // the first product's "dpi", stored as a number: its label stands alone

void StoreValues()
{
    for (const StoredValue& v : StoredValues()) StoreText(v.root, v.path, v.name, v.text);
    Store(HKEY_CURRENT_USER, kVellumoUser, "dpi", REG_DWORD, &kDpi, sizeof(kDpi));
}

std::vector<std::string> StoredSections()
{
    std::vector<std::string> lines = EmptySections();
    for (const StoredValue& v : StoredValues())
        if (!v.shown.empty()) lines[v.line] = v.shown;
    EXPECT_EQ(lines[16], "DPI > ");
    return lines;
}

// ---- The run ----

class WholeReport : public ::testing::Test {
protected:
    // Runs the report as a user would and compares every line against the report expected for this
    // machine; the TWAIN section and the settings sections are given by the caller.
    static void RunAndCompare(bool ticked, const std::vector<std::string>& twainSection,
                              const std::vector<std::string>& settingsSections)
    {
        driver::Program program;
        if (!ticked) {
            program.Click(program.CheckBox());
            ASSERT_TRUE(driver::WaitFor(
                [&] { return SendMessageA(program.CheckBox(), BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
        }
        driver::SetClipboardText("before the run");
        const std::vector<Process> processesBefore = Processes();
        SYSTEMTIME timeBefore, timeAfter;
        GetLocalTime(&timeBefore);
        const DWORD ticksBefore = GetTickCount();
        const std::string pane = program.RunReport(kMake, kModel);
        const DWORD ticksAfter = GetTickCount();
        GetLocalTime(&timeAfter);
        const std::vector<Process> processesAfter = Processes();

        const std::string clipboard = driver::ClipboardText();
        EXPECT_EQ(clipboard, pane);
        ASSERT_GE(clipboard.size(), 2u);
        EXPECT_EQ(clipboard.substr(clipboard.size() - 2), "\r\n");

        std::vector<Expected> expected;
        Add(expected, "header", {"Tavro Diagnostics v1.61  22-3-13"});
        expected.push_back({Expected::kDateTime, "header", ""});
        expected.push_back({Expected::kUptime, "header", ""});
        Add(expected, "header", {" "});
        Add(expected, "host facts", HostBlock());
        Add(expected, "make and model", {kSeparator, kMake, kModel, kSeparator});
        Add(expected, "TWAIN", twainSection);
        Add(expected, "after TWAIN", {kSeparator});
        Add(expected, "data sources", DataSourceSection(SearchBoth()));
        Add(expected, "after data sources", {kSeparator});
        Add(expected, "settings", settingsSections);

        const std::vector<std::string> lines = driver::Lines(clipboard);
        ASSERT_GT(lines.size(), expected.size());
        const std::set<std::string> dateTimes = DateTimeLines(timeBefore, timeAfter);
        for (size_t i = 0; i < expected.size(); ++i) {
            const Expected& e = expected[i];
            const std::string where = e.section + " line " + std::to_string(i + 1) + " of the report";
            switch (e.kind) {
            case Expected::kExact:
                EXPECT_EQ(lines[i], e.text) << where;
                break;
            case Expected::kDateTime:
                EXPECT_TRUE(dateTimes.count(lines[i])) << where << ": " << lines[i] << ", expected e.g. "
                                                       << *dateTimes.begin();
                break;
            case Expected::kUptime: {
                const auto seconds = UptimeSeconds(lines[i]);
                ASSERT_TRUE(seconds) << where << ": " << lines[i];
                EXPECT_GE(*seconds, ticksBefore / 1000) << where << ": " << lines[i];
                EXPECT_LE(*seconds, ticksAfter / 1000) << where << ": " << lines[i];
                break;
            }
            }
        }
        ExpectProcessSection(std::vector<std::string>(lines.begin() + expected.size(), lines.end()),
                             processesBefore, processesAfter);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Project1.exe"), 1);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "window_tests.exe"), 1);
    }
};

// The files the known machine puts in place, where each list must show them (and those it must not).
void ExpectKnownFilesListed()
{
    const DataSourceLines found = SearchBoth();
    const auto count = [](const std::vector<std::string>& lines, const std::string& line) {
        return std::count(lines.begin(), lines.end(), line);
    };
    for (const std::string& line :
         {std::string(kSane), std::string(kGphoto), std::string(kHiddenDs), std::string(kDsFolder) + "\\Extra Source.ds",
          std::string(kDsFolder) + "\\TavroTwainScan.ds"})
        EXPECT_EQ(count(found.dataSources, line), 1) << line;
    EXPECT_EQ(count(found.dataSources, std::string(kDsHidden) + "\\unseen.ds"), 0);
    for (const std::string& line :
         {std::string(kManager), std::string(kDirectTwainFile), std::string(kDsFolder) + "\\TavroTwainScan.ds",
          std::string(kTree) + "\\TwainFolder\\x.TWAIN.log", std::string(kTree) + "\\docs\\Notes-twain.txt"})
        EXPECT_EQ(count(found.twainFiles, line), 1) << line;
    for (const std::string& line :
         {std::string(kTree) + "\\TwainFolder", std::string(kTree) + "\\System Stuff\\TwainSys.txt",
          std::string(kDsFolder) + "\\Extra Source.ds"})
        EXPECT_EQ(count(found.twainFiles, line), 0) << line;
}

}  // namespace

TEST_F(WholeReport, KnownMachineLineForLine)
{
    KnownTemp temp;
    FileSwap sources;
    sources.Put(kSane, TestFile("source0.ds"));
    sources.Put(kGphoto, TestFile("source1.ds"));
    KnownFiles files;
    ProductKeys keys;
    StoreValues();
    ExpectKnownFilesListed();

    RunAndCompare(true, Listed({kRow0, kRow1}), StoredSections());
}

TEST_F(WholeReport, KnownMachineWithTheBoxUnticked)
{
    KnownTemp temp;
    FileSwap sources;
    sources.Put(kSane, TestFile("source0.ds"));
    sources.Put(kGphoto, TestFile("source1.ds"));
    KnownFiles files;
    ProductKeys keys;
    StoreValues();

    RunAndCompare(false, {}, StoredSections());
}

TEST_F(WholeReport, EmptyMachine)
{
    KnownTemp temp;
    TwainFolderMoved noDataSources;
    ProductKeys noProducts;
    EXPECT_TRUE(SearchBoth().dataSources.empty());

    RunAndCompare(true, {"0 Twain data source(s) found:"}, EmptySections());
}

namespace {

// ---- The drive ----

// Every file and folder under C:\ with its attributes, size and last write time; links to folders are
// recorded but not entered (Wine's user folders lead into the home folder of the Unix side).
//
// Nothing needs leaving out. Measured with Wine 8 in both prefixes: while a program runs, Wine itself
// changes nothing under C:\ (what it writes, it writes to the registry, kept in system.reg and user.reg
// beside drive_c and compared through the API with its own exclusions); the services and the desktop
// process it starts are running before the first walk. The test writes no work file of its own there:
// the program and the test's files stay in the build folder (drive Z:), and the only setup, removing the
// products' keys, is done before the first walk.
struct Entry {
    DWORD attributes;
    ULONGLONG size;
    ULONGLONG written;
    bool operator==(const Entry& o) const { return attributes == o.attributes && size == o.size && written == o.written; }
};
using DriveSnapshot = std::map<std::string, Entry>;

void WalkDrive(const std::string& folder, DriveSnapshot& out)
{
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        const std::string name = d.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        out[path] = {d.dwFileAttributes, ULONGLONG(d.nFileSizeHigh) << 32 | d.nFileSizeLow,
                     ULONGLONG(d.ftLastWriteTime.dwHighDateTime) << 32 | d.ftLastWriteTime.dwLowDateTime};
        if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            folders.push_back(path);
    } while (FindNextFileA(h, &d));
    FindClose(h);
    for (const std::string& sub : folders) WalkDrive(sub, out);
}

DriveSnapshot TakeDriveSnapshot()
{
    DriveSnapshot s;
    WIN32_FILE_ATTRIBUTE_DATA root;
    if (GetFileAttributesExA("C:\\", GetFileExInfoStandard, &root))
        s["C:"] = {root.dwFileAttributes, 0,
                   ULONGLONG(root.ftLastWriteTime.dwHighDateTime) << 32 | root.ftLastWriteTime.dwLowDateTime};
    WalkDrive("C:", s);
    return s;
}

std::vector<std::string> DriveDifferences(const DriveSnapshot& before, const DriveSnapshot& after)
{
    std::vector<std::string> out;
    for (const auto& [path, entry] : after) {
        const auto was = before.find(path);
        if (was == before.end()) out.push_back("added " + path);
        else if (!(was->second == entry)) out.push_back("changed " + path);
    }
    for (const auto& [path, entry] : before)
        if (!after.count(path)) out.push_back("removed " + path);
    return out;
}

// One complete run of the program, from its start to its end, between two walks of the prefix: what
// changed on the drive and in the registry.
void ExpectPrefixChanges(const std::vector<std::string>& registryChanges)
{
    const RegistrySnapshot registryBefore = TakeRegistrySnapshot();
    const DriveSnapshot driveBefore = TakeDriveSnapshot();
    {
        driver::Program program;
        const std::vector<std::string> lines = driver::Lines(program.RunReport("Acme", "X1"));
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Installed Data Sources:"), lines.end());
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Project1.exe"), 1) << "no process section";
        program.Close();
        EXPECT_EQ(program.WaitExit(30000), 0u);
    }
    const DriveSnapshot driveAfter = TakeDriveSnapshot();
    const RegistrySnapshot registryAfter = TakeRegistrySnapshot();

    EXPECT_GT(driveBefore.size(), 1000u) << "the walk did not see the prefix";
    EXPECT_EQ(DriveDifferences(driveBefore, driveAfter), std::vector<std::string>());
    EXPECT_EQ(RegistryDifferences(registryBefore, registryAfter), registryChanges);
}

}  // namespace

TEST(NothingWritten, ACompleteRunLeavesOnlyTheFourKeysCreatedEmpty)
{
    ProductKeys noProducts;
    ExpectPrefixChanges(NewProductKeys());
}

TEST(NothingWritten, WithBothProductsInstalledARunChangesNothingAtAll)
{
    ProductKeys products;
    StoreValues();
    ExpectPrefixChanges({});
}
