// The TWAIN section of the real program: against Wine's own manager with our test data sources in place of
// the two it loads, and against the stand-in manager (tests/twain) for what Wine's cannot show.
#include "window/Driver.h"
#include "window/Fixtures.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <regex>
#include <string>
#include <vector>

namespace {

const std::string kSeparator(78, '-');
const char kMake[] = "TwainMake";
const char kModel[] = "TwainModel";
const char kRunning[] = "Please Wait, running....";

// The TWAIN section: the lines after the separator that closes the make and model block, up to the next
// separator (all the rest when there is none).
std::vector<std::string> Section(const std::vector<std::string>& lines)
{
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i - 1] == kMake && lines[i] == kModel && lines[i + 1] == kSeparator) {
            std::vector<std::string> section;
            for (size_t j = i + 2; j < lines.size() && lines[j] != kSeparator; ++j) section.push_back(lines[j]);
            return section;
        }
    }
    throw std::runtime_error("no make and model block in the report");
}

using fixtures::FileSwap;
using fixtures::kGphoto;
using fixtures::kManager;
using fixtures::kSane;
using fixtures::kRow0;
using fixtures::kRow1;
using fixtures::kRow2;
using fixtures::kRow3;
using fixtures::Listed;
using fixtures::TestFile;

class TwainWindowTest : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableA("TAVRO_STANDIN", nullptr); }

    static void WaitEnabled(driver::Program& program)
    {
        ASSERT_TRUE(driver::WaitFor([&] { return driver::Enabled(program.RunButton()); }));
    }
    static bool Ticked(driver::Program& program)
    {
        return SendMessageA(program.CheckBox(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static void SetTicked(driver::Program& program, bool ticked)
    {
        if (Ticked(program) != ticked) program.Click(program.CheckBox());
        ASSERT_TRUE(driver::WaitFor([&] { return Ticked(program) == ticked; }));
    }
    static std::vector<std::string> RunSection(driver::Program& program)
    {
        const std::vector<std::string> lines = driver::Lines(program.RunReport(kMake, kModel));
        EXPECT_EQ(program.FindPopup(), nullptr);
        return Section(lines);
    }
    // Starts a run that must end in the error box; returns its message and closes the box.
    static std::string RunIntoErrorBox(driver::Program& program)
    {
        program.Type(program.MakeBox(), kMake);
        program.Type(program.ModelBox(), kModel);
        program.Click(program.RunButton());
        HWND box = nullptr;
        EXPECT_TRUE(driver::WaitFor([&] { return (box = program.FindPopup()) != nullptr; }));
        if (!box) return "";
        EXPECT_EQ(driver::Text(box), "Project1");
        const std::string message = driver::Program::PopupMessage(box);
        driver::Program::PressOk(box);
        EXPECT_TRUE(driver::WaitFor([&] { return program.FindPopup() == nullptr; }));
        return message;
    }
    // The stopped state after an error in the TWAIN section: the pane ends with the make and model block.
    static void ExpectStopped(driver::Program& program)
    {
        EXPECT_EQ(driver::Text(program.Label1()), kRunning);
        EXPECT_TRUE(driver::Visible(program.Label1()));
        EXPECT_FALSE(driver::Visible(program.Label2()));
        EXPECT_FALSE(driver::Enabled(program.RunButton()));
        const std::vector<std::string> lines = driver::Lines(driver::Text(program.Pane()));
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
                  (std::vector<std::string>{kMake, kModel, kSeparator}));
        EXPECT_TRUE(Section(lines).empty());
    }
    // Where the module of the program with this file name lies: base and size.
    static std::pair<ULONG_PTR, ULONG_PTR> ModuleRange(const driver::Program& program, const char* name)
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, program.ProcessId());
        MODULEENTRY32 entry = {sizeof(entry)};
        std::pair<ULONG_PTR, ULONG_PTR> range = {0, 0};
        for (BOOL ok = Module32First(snapshot, &entry); ok; ok = Module32Next(snapshot, &entry))
            if (lstrcmpiA(entry.szModule, name) == 0)
                range = {reinterpret_cast<ULONG_PTR>(entry.modBaseAddr), entry.modBaseSize};
        CloseHandle(snapshot);
        return range;
    }
    // "Access violation at address XXXXXXXX. <kind> of address 00000000." with the fault inside module.
    static void ExpectAccessViolation(const std::string& message, const char* kind,
                                      std::pair<ULONG_PTR, ULONG_PTR> module)
    {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(message, m, std::regex(std::string("Access violation at address ([0-9A-F]{8})\\. ") +
                                                            kind + " of address 00000000\\.")))
            << message;
        const ULONG_PTR address = std::stoul(m[1].str(), nullptr, 16);
        EXPECT_GE(address, module.first) << message;
        EXPECT_LT(address, module.first + module.second) << message;
    }

    FileSwap files_;
};

const std::vector<std::string> kStandInTwo =
    Listed({{"Stand-in Scanner", "Stand-in Maker", "Scanners", "2.0"},
            {"Stand-in Camera", "Stand-in Maker", "Cameras", "3.1 beta"}});

}  // namespace

TEST_F(TwainWindowTest, WinesManagerListsOurDataSources)
{
    const struct {
        const char* sane;
        const char* gphoto;
        std::vector<std::string> lines;
    } cases[] = {
        {"source0.ds", "source1.ds", Listed({kRow0, kRow1})},
        {"source2.ds", "source3.ds", Listed({kRow2, kRow3})},
        {"", "", {"0 Twain data source(s) found:"}},
    };
    for (const auto& c : cases) {
        FileSwap files;
        files.Put(kSane, *c.sane ? TestFile(c.sane) : "");
        files.Put(kGphoto, *c.gphoto ? TestFile(c.gphoto) : "");
        driver::Program program;
        EXPECT_EQ(RunSection(program), c.lines) << c.sane << " " << c.gphoto;
    }
}

TEST_F(TwainWindowTest, NoManagerAnywhereGivesTwoLines)
{
    files_.Put(kManager, "");
    driver::Program program;
    EXPECT_EQ(RunSection(program), (std::vector<std::string>{"Cannot load Twain DSM", "0 Twain data source(s) found:"}));
}

TEST_F(TwainWindowTest, AnUntickedBoxLeavesTheManagerAlone)
{
    // A data source that faults when asked: any call into the manager would end in the error box.
    files_.Put(kSane, TestFile("source4.ds"));
    driver::Program program;
    SetTicked(program, false);
    EXPECT_TRUE(RunSection(program).empty());
}

TEST_F(TwainWindowTest, AFaultingDataSourceStopsTheRunAndTheNextRunAsksTheManagerAgain)
{
    files_.Put(kSane, TestFile("source4.ds"));
    files_.Put(kGphoto, TestFile("source0.ds"));
    driver::Program program;
    const std::string message = RunIntoErrorBox(program);
    ExpectAccessViolation(message, "Write", ModuleRange(program, "sane.ds"));
    ExpectStopped(program);

    // Ticking and unticking enables Run; the library is still loaded and the manager open, so no
    // "Cannot load Twain DSM"; Wine's manager answers the failed list with no sources from then on.
    SetTicked(program, false);
    SetTicked(program, true);
    WaitEnabled(program);
    EXPECT_EQ(RunSection(program), (std::vector<std::string>{"0 Twain data source(s) found:"}));

    SetTicked(program, false);
    EXPECT_TRUE(RunSection(program).empty());
}

TEST_F(TwainWindowTest, AfterAFaultTheLibraryStaysLoadedAndTheListIsAskedForAgain)
{
    // The stand-in faults while it reports its second source, once per loaded library.
    files_.Put(kManager, TestFile("TWAIN_32.DLL"));
    SetEnvironmentVariableA("TAVRO_STANDIN", "faultonce");
    driver::Program program;
    const std::string message = RunIntoErrorBox(program);
    ExpectAccessViolation(message, "Read", ModuleRange(program, "twain_32.dll"));
    ExpectStopped(program);

    SetTicked(program, false);
    SetTicked(program, true);
    WaitEnabled(program);
    EXPECT_EQ(RunSection(program), kStandInTwo);

    // A complete run closed and unloaded it: the next one loads it afresh, and it faults again.
    EXPECT_EQ(ModuleRange(program, "twain_32.dll").first, 0u);
    const std::string again = RunIntoErrorBox(program);
    ExpectAccessViolation(again, "Read", ModuleRange(program, "twain_32.dll"));
    ExpectStopped(program);

    // Unticked, the section is skipped and the library stays loaded until the program ends, which closes the
    // manager and unloads it on its way out.
    SetTicked(program, false);
    EXPECT_TRUE(RunSection(program).empty());
    EXPECT_NE(ModuleRange(program, "twain_32.dll").first, 0u);
    program.Close();
    EXPECT_EQ(program.WaitExit(30000), 0u);
}

TEST_F(TwainWindowTest, StandInManagerCases)
{
    files_.Put(kManager, TestFile("TWAIN_32.DLL"));
    const struct {
        const char* mode;
        std::vector<std::string> lines;
    } cases[] = {
        {"refuse", {"0 Twain data source(s) found:"}},
        {"nosources", {"0 Twain data source(s) found:"}},
        {"openfault", {"0 Twain data source(s) found:"}},
        {"echo", Listed({{"Tavro Scan", "Tavro", "Tavro Scan", "4.1 65535 1 1.9 3 id 7"}})},
    };
    for (const auto& c : cases) {
        SetEnvironmentVariableA("TAVRO_STANDIN", c.mode);
        driver::Program program;
        EXPECT_EQ(RunSection(program), c.lines) << c.mode;
    }
    // The first load fails, the second succeeds.
    SetEnvironmentVariableA("TAVRO_STANDIN", "failfirst");
    driver::Program program;
    std::vector<std::string> expected = {"Cannot load Twain DSM"};
    expected.insert(expected.end(), kStandInTwo.begin(), kStandInTwo.end());
    EXPECT_EQ(RunSection(program), expected);
    // The second run's first load works: the process remembers its failed attempt.
    EXPECT_EQ(RunSection(program), kStandInTwo);
}

TEST_F(TwainWindowTest, AManagerOnlyInTheProgramsFolderIsFound)
{
    const std::string folder = "c:\\tavro-twain-app";
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Folder {
        std::string path;
        ~Folder() { RemoveDirectoryA(path.c_str()); }
    } made{folder};
    FileSwap files;
    files.Put(kManager, "");
    files.Put(folder + "\\Project1.exe", driver::ProgramPath());
    files.Put(folder + "\\TWAIN_32.DLL", TestFile("TWAIN_32.DLL"));
    {
        driver::Program program(folder + "\\Project1.exe");
        EXPECT_EQ(RunSection(program), kStandInTwo);
    }
}
