// The process section: the last lines of the report, one per running process.
#include "window/Driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>

using driver::Program;

namespace {

std::multiset<std::string> Snapshot()
{
    std::multiset<std::string> names;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e = {sizeof(e)};
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) names.insert(e.szExeFile);
    CloseHandle(snap);
    return names;
}

// Copies of the idle helper, ended with the test.
class Idlers {
public:
    explicit Idlers(int count)
    {
        const std::string exe = driver::ProgramPath("tavro_idle.exe");
        for (int i = 0; i < count; ++i) {
            STARTUPINFOA si = {sizeof(si)};
            PROCESS_INFORMATION pi;
            std::string cmd = "\"" + exe + "\"";
            if (CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
                CloseHandle(pi.hThread);
                processes_.push_back(pi.hProcess);
            }
        }
    }
    ~Idlers()
    {
        for (HANDLE h : processes_) {
            TerminateProcess(h, 0);
            CloseHandle(h);
        }
    }

private:
    std::vector<HANDLE> processes_;
};

}  // namespace

TEST(ProcessSection, EndsTheReportWithOneLinePerProcess)
{
    Idlers idlers(3);
    Program p;
    const auto before = Snapshot();
    ASSERT_EQ(before.count("tavro_idle.exe"), 3u);
    const auto lines = driver::Lines(p.RunReport("Acme", "X1"));
    const auto after = Snapshot();

    const auto lastSeparator = std::find(lines.rbegin(), lines.rend(), std::string(78, '-'));
    ASSERT_NE(lastSeparator, lines.rend());
    const std::vector<std::string> section(lastSeparator.base(), lines.end());
    ASSERT_FALSE(section.empty());

    // Every line names a process that ran around the run; the steady ones appear as often as they ran.
    std::map<std::string, int> counts;
    for (const auto& name : section) {
        EXPECT_TRUE(before.count(name) || after.count(name)) << name;
        ++counts[name];
    }
    EXPECT_EQ(counts["tavro_idle.exe"], 3);
    EXPECT_EQ(counts["Project1.exe"], 1);
    EXPECT_EQ(counts["window_tests.exe"], 1);

    // The bracket around the section is closed again: the pane draws (an open one hides it from drawing).
    EXPECT_TRUE(driver::Visible(p.Pane()));
}
