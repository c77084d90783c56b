// The data source section of the running program: its lines, and the window during a long search.
#include "window/Driver.h"
#include "window/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::string kSeparator(78, '-');
const char kHeading[] = "Installed Data Sources:";
const char kRunning[] = "Please Wait, running....";
const char kTwainFolder[] = "c:\\windows\\twain_32";

// The lines of the two lists of the data source section: the "*.ds" files and the "*Twain*.*" files.
struct DataSourceSection {
    std::vector<std::string> dataSources;
    std::vector<std::string> twainFiles;
};

DataSourceSection SectionOf(const std::vector<std::string>& lines)
{
    auto heading = std::find(lines.begin(), lines.end(), kHeading);
    if (heading == lines.end()) throw std::runtime_error("no data source section");
    auto middle = std::find(heading + 1, lines.end(), kSeparator);
    auto end = std::find(middle == lines.end() ? middle : middle + 1, lines.end(), kSeparator);
    if (end == lines.end()) throw std::runtime_error("the data source section does not end");
    return {{heading + 1, middle}, {middle + 1, end}};
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Names of one folder matching the pattern, in the platform's order.
std::vector<std::string> PlatformOrder(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

using fixtures::MakeFile;
using fixtures::RemoveTree;
using fixtures::TwainFolderMoved;

}  // namespace

TEST(DataSourceSectionTest, WithoutTheDataSourceFolderTheHeadingIsFollowedByTheSeparator)
{
    TwainFolderMoved moved;
    driver::Program program;
    const std::vector<std::string> lines = driver::Lines(program.RunReport("Make", "Model"));

    const auto heading = std::find(lines.begin(), lines.end(), kHeading);
    ASSERT_NE(heading, lines.end());
    ASSERT_NE(heading + 1, lines.end());
    EXPECT_EQ(heading[1], kSeparator);
    const DataSourceSection section = SectionOf(lines);
    EXPECT_TRUE(section.dataSources.empty());
    EXPECT_EQ(std::count(section.twainFiles.begin(), section.twainFiles.end(), "c:\\windows\\twain_32.dll"), 1);
    for (const std::string& line : section.twainFiles) EXPECT_EQ(line.rfind("c:\\windows\\", 0), 0u) << line;
}

TEST(DataSourceSectionTest, DataSourceWithTwainInItsNameIsListedTwice)
{
    const std::vector<std::string> names = {"MyTwAiN.ds", "twainlower.ds"};
    for (const std::string& name : names) MakeFile(std::string(kTwainFolder) + "\\" + name);
    struct Cleanup {
        const std::vector<std::string>& names;
        ~Cleanup()
        {
            for (const std::string& name : names) DeleteFileA((std::string(kTwainFolder) + "\\" + name).c_str());
        }
    } cleanup{names};

    driver::Program program;
    const DataSourceSection section = SectionOf(driver::Lines(program.RunReport("Make", "Model")));

    std::vector<std::string> expected;
    for (const std::string& name : PlatformOrder(std::string(kTwainFolder) + "\\*.ds"))
        expected.push_back(std::string(kTwainFolder) + "\\" + name);
    EXPECT_EQ(section.dataSources, expected);
    for (const std::string& name : names) {
        const std::string line = std::string(kTwainFolder) + "\\" + name;
        EXPECT_EQ(std::count(section.dataSources.begin(), section.dataSources.end(), line), 1) << line;
        EXPECT_EQ(std::count(section.twainFiles.begin(), section.twainFiles.end(), line), 1) << line;
    }
}

// A tree under c:\windows big enough that its search lasts well beyond what the driver needs to act.
class LongSearchTest : public ::testing::Test {
protected:
    static constexpr int kFolders = 150;
    static constexpr int kFilesPerFolder = 150;

    static void SetUpTestSuite()
    {
        root = "c:\\windows\\tavro-long-search-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root.c_str(), nullptr);
        for (int d = 0; d < kFolders; ++d) {
            const std::string folder = root + "\\d" + std::to_string(d);
            CreateDirectoryA(folder.c_str(), nullptr);
            for (int f = 0; f < kFilesPerFolder; ++f) MakeFile(folder + "\\f" + std::to_string(f) + ".txt");
            MakeFile(folder + "\\Twain-" + std::to_string(d) + ".txt");
            twainLines.push_back(folder + "\\Twain-" + std::to_string(d) + ".txt");
        }
        std::sort(twainLines.begin(), twainLines.end());
    }
    static void TearDownTestSuite() { RemoveTree(root); }

    // Starts a run and returns once the window takes input inside the data source search.
    static void StartAndWaitForTheSearch(driver::Program& program)
    {
        program.Type(program.MakeBox(), "Make");
        program.Type(program.ModelBox(), "Model");
        program.Click(program.RunButton());
        ASSERT_TRUE(driver::WaitFor([&] {
            return driver::Text(program.Label1()) == kRunning && !driver::Enabled(program.RunButton()) &&
                   driver::Text(program.Pane()).find(kHeading) != std::string::npos;
        }));
    }

    static std::vector<std::string> TreeLines(const std::vector<std::string>& twainFiles)
    {
        std::vector<std::string> lines;
        for (const std::string& line : twainFiles)
            if (line.rfind(root + "\\", 0) == 0) lines.push_back(line);
        return Sorted(lines);
    }

    static std::string root;
    static std::vector<std::string> twainLines;
};

std::string LongSearchTest::root;
std::vector<std::string> LongSearchTest::twainLines;

TEST_F(LongSearchTest, CheckBoxEnablesRunWhileTheSearchGoesOn)
{
    driver::Program program;
    StartAndWaitForTheSearch(program);

    program.Click(program.CheckBox());
    ASSERT_TRUE(driver::WaitFor([&] { return driver::Enabled(program.RunButton()); }));
    EXPECT_EQ(driver::Text(program.Label1()), kRunning) << "the search had already ended";

    ASSERT_TRUE(program.WaitFinished());
    const DataSourceSection section = SectionOf(driver::Lines(driver::Text(program.Pane())));
    EXPECT_EQ(TreeLines(section.twainFiles), twainLines);
}

TEST_F(LongSearchTest, CloseRequestLetsTheRunFinishAndCopyItsReport)
{
    driver::SetClipboardText("before the run");
    driver::Program program;
    StartAndWaitForTheSearch(program);

    program.Close();
    ASSERT_EQ(program.WaitExit(300000), 0u);

    const std::vector<std::string> lines = driver::Lines(driver::ClipboardText());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Tavro Diagnostics v1.61  22-3-13");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kSeparator), 7);
    EXPECT_EQ(TreeLines(SectionOf(lines).twainFiles), twainLines);
}

TEST_F(LongSearchTest, ASecondRunStartedDuringTheSearchRunsWholeInsideTheFirst)
{
    driver::SetClipboardText("before the runs");
    driver::Program program;
    StartAndWaitForTheSearch(program);
    driver::SaveScreenshot(program.Form(), driver::ScreenshotPath("running"));

    program.Click(program.CheckBox());
    ASSERT_TRUE(driver::WaitFor([&] { return driver::Enabled(program.RunButton()); }));
    program.Click(program.RunButton());

    // Both runs end in the finished state; the second one's report, then the rest of the first one's.
    auto headLines = [](const std::vector<std::string>& lines) {
        return std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("VLMO V", 0) == 0; });
    };
    ASSERT_TRUE(driver::WaitFor([&] { return headLines(driver::Lines(driver::Text(program.Pane()))) == 2; },
                                std::chrono::seconds(300)));
    ASSERT_TRUE(program.WaitFinished());
    const std::string text = driver::Text(program.Pane());
    const std::vector<std::string> lines = driver::Lines(text);

    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Tavro Diagnostics v1.61  22-3-13"), 1);
    EXPECT_EQ(lines.front(), "Tavro Diagnostics v1.61  22-3-13");  // the second run emptied the pane first
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kHeading), 1);
    // Seven separators of the second run; the first run goes on inside its "*Twain*.*" search and writes
    // the three after the data source section.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kSeparator), 10);
    EXPECT_EQ(TreeLines(SectionOf(lines).twainFiles), twainLines);
    // The first run handed the pane over once more, the whole of it.
    EXPECT_EQ(driver::ClipboardText(), text);
}
