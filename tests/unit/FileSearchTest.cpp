// FileSearch against Wine's real file system, on trees built under the temporary folder and removed again.
#include "app/Unit1.h"
#include "probes/scanner/FileFind.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::wstring ExtendedPath(const std::string& path)
{
    std::wstring wide(path.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return L"\\\\?\\" + wide;
}

// Paths beyond MAX_PATH too, so that trees deeper than the find functions reach can be built and removed.
void MakeDir(const std::string& path)
{
    if (!CreateDirectoryW(ExtendedPath(path).c_str(), nullptr)) throw std::runtime_error("cannot create " + path);
}

void MakeFile(const std::string& path, DWORD attributes = 0)
{
    HANDLE h = CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    CloseHandle(h);
    if (attributes && !SetFileAttributesW(ExtendedPath(path).c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + path);
}

void SetAttributes(const std::string& path, DWORD attributes)
{
    if (!SetFileAttributesW(ExtendedPath(path).c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + path);
}

// Removes a tree without links in it (Wine cannot delete a link to a folder: see UnixCommand).
void RemoveTree(const std::string& path)
{
    const std::wstring dir = ExtendedPath(path);
    SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::string narrow(name.size(), '\0');
            for (size_t i = 0; i < name.size(); ++i) narrow[i] = static_cast<char>(name[i]);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;  // never follow a link
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\" + narrow);
            } else {
                SetFileAttributesW((dir + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((dir + L"\\" + name).c_str());
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a Linux program inside the given folder: Wine starts Unix executables too. The process handle it
// returns cannot be waited for, so the caller says when the command has done its work.
void UnixCommand(std::string commandLine, const std::string& folder, bool (*done)(const std::string&),
                 const std::string& path)
{
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        throw std::runtime_error("cannot run " + commandLine);
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    for (int i = 0; i < 500 && !done(path); ++i) Sleep(20);
    if (!done(path)) throw std::runtime_error(commandLine + " did not finish");
}

void RemoveWithLinks(const std::string& path)
{
    const size_t cut = path.find_last_of('\\');
    UnixCommand("/bin/rm -rf " + path.substr(cut + 1), path.substr(0, cut),
                [](const std::string& p) { return !Exists(p); }, path);
}

// The same walk over the plain FindFirstFileA/FindNextFileA pair and nothing of ours: what FileSearch
// must give whatever find call it uses.
void PlainWalk(const std::string& folder, const std::string& mask, std::vector<std::string>& lines)
{
    const std::string base = folder.back() == '\\' ? folder : folder + "\\";
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((base + mask).c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & 0x1E & ~0x2F)) lines.push_back(base + data.cFileName);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    h = FindFirstFileA((base + "*.*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if ((data.dwFileAttributes & 0x1E & ~0x10) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || name == "." || name == "..")
            continue;
        PlainWalk(base + name, mask, lines);
    } while (FindNextFileA(h, &data));
    FindClose(h);
}

// The names of one folder that match the mask, in the order the platform returns them.
std::vector<std::string> PlatformOrder(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

class FileSearchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!ui::TheApplication.Handle()) ui::TheApplication.Initialize(GetModuleHandleA(nullptr));
    }
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static int count = 0;
        root = std::string(temp) + "tavro-search-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++count);
        MakeDir(root);
        form = std::make_unique<TForm1>();
    }
    void TearDown() override
    {
        form.reset();
        if (!Exists(root)) return;
        if (withLinks)
            RemoveWithLinks(root);
        else
            RemoveTree(root);
    }

    // A symbolic link made from the Linux side, as Wine shows it: folder\name -> target (a Unix path).
    void MakeLink(const std::string& folder, const std::string& target, const std::string& name)
    {
        withLinks = true;
        UnixCommand("/bin/ln -s " + target + " " + name, folder, Exists, folder + "\\" + name);
    }

    std::vector<std::string> Search(const std::string& folder, const std::string& mask, bool recurse = true)
    {
        form->Memo1->Clear();
        form->FileSearch(folder, mask, recurse);
        return SplitLines(form->Memo1->Text());
    }

    std::string root;
    bool withLinks = false;
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST(FileFindTest, AttributeFilterSkipsOnlyTheSpecialBitsOutsideTheSet)
{
    struct Case {
        DWORD entry, set;
        bool passes;
    } cases[] = {
        {0x00, 0x2F, true},  {0x01, 0x2F, true},  {0x02, 0x2F, true},  {0x04, 0x2F, true},  {0x20, 0x2F, true},
        {0x27, 0x2F, true},  {0x80, 0x2F, true},  {0x10, 0x2F, false}, {0x12, 0x2F, false}, {0x410, 0x2F, false},
        {0x10, 0x10, true},  {0x30, 0x10, true},  {0x410, 0x10, true}, {0x00, 0x10, true},  {0x12, 0x10, false},
        {0x14, 0x10, false}, {0x08, 0x10, false}, {0x02, 0x10, false}, {0x2000, 0x10, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scanner::PassesAttributeFilter(c.entry, c.set), c.passes) << std::hex << c.entry << " " << c.set;
}

TEST(FileFindTest, EntersDirectoriesButNotTheirLinksNorDotEntries)
{
    struct Case {
        const char* name;
        DWORD attributes;
        bool enters;
    } cases[] = {
        {"sub", 0x10, true},   {"sub", 0x11, true},    {"sub", 0x30, true},  {".", 0x10, false},
        {"..", 0x10, false},   {"link", 0x410, false}, {"f.ds", 0x20, false}, {"...", 0x10, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scanner::IsSubFolder({c.name, c.attributes}), c.enters) << c.name << " " << std::hex << c.attributes;
}

TEST_F(FileSearchTest, ListsHiddenSystemAndReadOnlyFilesButSkipsHiddenAndSystemFolders)
{
    MakeFile(root + "\\plain.ds");
    MakeFile(root + "\\hidden.ds", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(root + "\\system.ds", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(root + "\\readonly.ds", FILE_ATTRIBUTE_READONLY);
    MakeFile(root + "\\all.ds", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    MakeFile(root + "\\other.txt");
    MakeFile(root + "\\near.dsx");
    for (const char* dir : {"HiddenDir", "SystemDir", "ReadOnlyDir", "match.ds"}) {
        MakeDir(root + "\\" + dir);
        MakeFile(root + "\\" + dir + "\\in.ds");
    }
    SetAttributes(root + "\\HiddenDir", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(root + "\\SystemDir", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(root + "\\ReadOnlyDir", FILE_ATTRIBUTE_READONLY);

    // The folder named like a data source is not a line of its own, but its file is found.
    EXPECT_EQ(Sorted(Search(root, "*.ds")), Sorted({
                                                root + "\\plain.ds",
                                                root + "\\hidden.ds",
                                                root + "\\system.ds",
                                                root + "\\readonly.ds",
                                                root + "\\all.ds",
                                                root + "\\ReadOnlyDir\\in.ds",
                                                root + "\\match.ds\\in.ds",
                                            }));
}

TEST_F(FileSearchTest, OwnFilesFirstThenEachSubFolderDepthFirstInThePlatformsOrder)
{
    MakeFile(root + "\\z.ds");
    MakeDir(root + "\\a");
    MakeFile(root + "\\a\\a.ds");
    MakeDir(root + "\\a\\deep");
    MakeFile(root + "\\a\\deep\\d.ds");
    MakeDir(root + "\\b");
    MakeFile(root + "\\b\\b.ds");
    MakeFile(root + "\\y.ds");

    std::vector<std::string> expected;
    for (const std::string& name : PlatformOrder(root + "\\*.ds")) expected.push_back(root + "\\" + name);
    for (const std::string& dir : PlatformOrder(root + "\\*.*")) {
        if (dir == "a") {
            expected.push_back(root + "\\a\\a.ds");
            expected.push_back(root + "\\a\\deep\\d.ds");
        } else if (dir == "b") {
            expected.push_back(root + "\\b\\b.ds");
        }
    }
    ASSERT_EQ(expected.size(), 5u);
    EXPECT_EQ(Search(root, "*.ds"), expected);
}

TEST_F(FileSearchTest, TrailingBackslashIsNotDoubledAndNamesKeepTheirCase)
{
    MakeFile(root + "\\MixedCase.DS");
    MakeDir(root + "\\Sub");
    MakeFile(root + "\\Sub\\Inner.Ds");
    const std::vector<std::string> expected = {root + "\\MixedCase.DS", root + "\\Sub\\Inner.Ds"};
    EXPECT_EQ(Search(root + "\\", "*.ds"), expected);
    EXPECT_EQ(Search(root, "*.ds"), expected);
}

TEST_F(FileSearchTest, WithoutRecursionListsOnlyOwnFilesAndLeavesMessagesQueued)
{
    MakeFile(root + "\\own.ds");
    MakeDir(root + "\\sub");
    MakeFile(root + "\\sub\\inner.ds");
    const UINT probe = WM_APP + 17;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, probe, probe, PM_REMOVE)) {
    }

    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), probe, 0, 0));
    EXPECT_EQ(Search(root, "*.ds", false), std::vector<std::string>{root + "\\own.ds"});
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, probe, probe, PM_REMOVE)) << "the search processed messages";

    // The recursive search takes the window's messages between two folder entries.
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), probe, 0, 0));
    EXPECT_EQ(Search(root, "*.ds", true), (std::vector<std::string>{root + "\\own.ds", root + "\\sub\\inner.ds"}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, probe, probe, PM_REMOVE));
}

TEST_F(FileSearchTest, MissingFolderFindsNothing)
{
    EXPECT_TRUE(Search(root + "\\missing", "*.ds").empty());
    EXPECT_TRUE(Search("c:\\no such folder\\twain_32", "*.ds").empty());
}

TEST_F(FileSearchTest, FilesBeyondTheFindFunctionsReachAreNotFound)
{
    MakeFile(root + "\\near.ds");
    std::string deep = root;
    while (deep.size() < 300) {
        deep += "\\" + std::string(40, 'd');
        MakeDir(deep);
        MakeFile(deep + "\\level.ds");
    }
    const std::vector<std::string> lines = Search(root, "*.ds");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), root + "\\near.ds");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), deep + "\\level.ds"), 0);
    EXPECT_EQ(lines, [&] {
        std::vector<std::string> plain;
        PlainWalk(root, "*.ds", plain);
        return plain;
    }());
    EXPECT_TRUE(Search(deep, "*.ds").empty());
}

TEST_F(FileSearchTest, GivesTheLinesOfThePlainFindCalls)
{
    for (const char* name : {"Plain.ds", "UPPER.DS", "a.b.ds", "Long Name With Spaces.ds", "odd.d s", "x.dsx",
                             "noext", "twain_like.TXT", "MyTwAiN.ds"})
        MakeFile(root + "\\" + name);
    MakeFile(root + "\\hidden twain.ds", FILE_ATTRIBUTE_HIDDEN);
    MakeDir(root + "\\Twain Folder");
    MakeFile(root + "\\Twain Folder\\inner.ds");
    MakeDir(root + "\\Hidden Twain");
    MakeFile(root + "\\Hidden Twain\\hidden.ds");
    SetAttributes(root + "\\Hidden Twain", FILE_ATTRIBUTE_HIDDEN);

    struct Case {
        std::string folder, mask;
    } cases[] = {
        {root, "*.ds"}, {root, "*Twain*.*"}, {root, "*.*"}, {"c:\\windows", "*Twain*.*"}, {"c:\\windows", "*.*"},
        {"c:\\windows\\", "*.dll"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> plain;
        PlainWalk(c.folder, c.mask, plain);
        EXPECT_EQ(Search(c.folder, c.mask), plain) << c.folder << " " << c.mask;
    }
}

TEST_F(FileSearchTest, LinksBackToAncestorsAreNotFollowed)
{
    // root\top.ds, root\a\x.ds, root\a\b\y.ds (a link to top.ds), and two links back up: a\up -> root and
    // a\b\up -> root. A walk that followed them would never end.
    MakeFile(root + "\\top.ds");
    MakeDir(root + "\\a");
    MakeFile(root + "\\a\\x.ds");
    MakeDir(root + "\\a\\b");
    MakeLink(root + "\\a", "..", "up");
    MakeLink(root + "\\a\\b", "../..", "up");
    MakeLink(root + "\\a\\b", "../../top.ds", "y.ds");
    ASSERT_EQ(GetFileAttributesA((root + "\\a\\b\\up").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

    EXPECT_EQ(Search(root, "*.ds"), (std::vector<std::string>{root + "\\top.ds", root + "\\a\\x.ds", root + "\\a\\b\\y.ds"}));
}
