// The fault guard, the identity text, the application identity, and the TWAIN section against the stand-in
// manager (tests/twain/StandInManager.cpp), found through the component's folder list.
#include "app/Unit1.h"
#include "probes/scanner/FaultGuard.h"
#include "probes/scanner/Twain.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Faulting instructions at known addresses.
extern "C" void FaultRead();
extern "C" void FaultWrite();
extern "C" void FaultDivide();
extern "C" void FaultDivideAt();
extern "C" void FaultIllegal();
asm(".text\n"
    ".globl _FaultRead\n_FaultRead:\n  movl 0x0, %eax\n  ret\n"
    ".globl _FaultWrite\n_FaultWrite:\n  movl $1, 0x10\n  ret\n"
    ".globl _FaultDivide\n_FaultDivide:\n  xorl %ecx, %ecx\n  movl $1, %eax\n  cltd\n"
    ".globl _FaultDivideAt\n_FaultDivideAt:\n  idivl %ecx\n  ret\n"
    ".globl _FaultIllegal\n_FaultIllegal:\n  ud2\n  ret\n");

namespace {

std::string Hex8(void (*fn)())
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(fn)));
    return text;
}

std::string GuardedMessage(void (*fn)())
{
    try {
        scanner::CallGuarded([fn] {
            fn();
            return 0;
        });
    } catch (const scanner::HardwareFault& e) {
        return e.what();
    }
    return "no fault";
}

}  // namespace

TEST(FaultGuard, TurnsEveryFaultIntoAnExceptionAtItsAddressAgainAndAgain)
{
    const struct {
        void (*fn)();
        std::string message;
    } cases[] = {
        {FaultRead, "Access violation at address " + Hex8(FaultRead) + ". Read of address 00000000"},
        {FaultWrite, "Access violation at address " + Hex8(FaultWrite) + ". Write of address 00000010"},
        {FaultDivide, "Division by zero at address " + Hex8(FaultDivideAt)},
        {FaultIllegal, "Illegal instruction at address " + Hex8(FaultIllegal)},
    };
    for (int round = 0; round < 30; ++round)
        for (const auto& c : cases) ASSERT_EQ(GuardedMessage(c.fn), c.message) << "round " << round;
}

TEST(FaultGuard, LetsOurOwnExceptionsAndResultsThrough)
{
    EXPECT_EQ(scanner::CallGuarded([] { return 42; }), 42);
    try {
        scanner::CallGuarded([]() -> int { throw std::runtime_error("ours"); });
        FAIL() << "no exception";
    } catch (const scanner::HardwareFault&) {
        FAIL() << "our exception became a fault";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ours");
    }
    // Still armed afterwards.
    EXPECT_EQ(GuardedMessage(FaultIllegal), "Illegal instruction at address " + Hex8(FaultIllegal));
}

TEST(FaultText, NamesTheFaultAndItsAddresses)
{
    const ULONG_PTR read[] = {0, 0x1234}, write[] = {1, 0xDEADBEEF}, execute[] = {8, 0x401000};
    EXPECT_EQ(scanner::FaultText(EXCEPTION_ACCESS_VIOLATION, 0x6A3C1234, read, 2),
              "Access violation at address 6A3C1234. Read of address 00001234");
    EXPECT_EQ(scanner::FaultText(EXCEPTION_ACCESS_VIOLATION, 0x10, write, 2),
              "Access violation at address 00000010. Write of address DEADBEEF");
    EXPECT_EQ(scanner::FaultText(EXCEPTION_ACCESS_VIOLATION, 0x401000, execute, 2),
              "Access violation at address 00401000. Execute of address 00401000");
    EXPECT_EQ(scanner::FaultText(EXCEPTION_INT_DIVIDE_BY_ZERO, 0xABCDEF, nullptr, 0),
              "Division by zero at address 00ABCDEF");
    EXPECT_EQ(scanner::FaultText(EXCEPTION_PRIV_INSTRUCTION, 1, nullptr, 0), "Privileged instruction at address 00000001");
    EXPECT_FALSE(scanner::IsHardwareFault(EXCEPTION_BREAKPOINT));
    EXPECT_FALSE(scanner::IsHardwareFault(0xE06D7363));  // a C++ exception of other code
}

TEST(IdentityText, TakesUpToTheFirstNulAtMost34BytesUnchanged)
{
    const struct {
        const char* bytes;
        size_t size;
        std::string text;
    } cases[] = {
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567", 34, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567"},
        {"Short\0Hidden tail", 17, "Short"},
        {"\0Behind a NUL", 13, ""},
        {"Caf\xE9 \x81\xFF", 7, "Caf\xE9 \x81\xFF"},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        scanner::TW_STR32 field;
        std::memset(field, 0, sizeof(field));
        std::memcpy(field, c.bytes, c.size);
        EXPECT_EQ(scanner::IdentityText(field), c.text) << c.bytes;
    }
}

namespace {

class TwainTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!ui::TheApplication.Handle()) ui::TheApplication.Initialize(GetModuleHandleA(nullptr));
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("TAVRO_STANDIN", nullptr);
        SetEnvironmentVariableA("TAVRO_STANDIN_TRIED", nullptr);
    }

    // The folder of the stand-in manager, beside the program under test.
    static std::string StandInFolder()
    {
        const char* exe = std::getenv("TAVRO_EXE");
        std::string path = exe ? exe : "";
        if (!path.empty() && path[0] == '/') path = "Z:" + path;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path.substr(0, path.find_last_of('\\') + 1) + "twain";
    }

    // A component that finds only the stand-in, with the main window's application identity.
    static std::unique_ptr<scanner::TwainComponent> StandIn(std::vector<std::string> folders = {StandInFolder()})
    {
        auto twain = std::make_unique<scanner::TwainComponent>([folders] { return folders; });
        TForm1 form;
        twain->Info = form.DTwain1->Info;
        return twain;
    }

    static std::vector<std::string> Section(scanner::TwainComponent& twain)
    {
        std::vector<std::string> lines;
        scanner::WriteTwainSection(twain, [&](const std::string& line) { lines.push_back(line); });
        return lines;
    }
};

const std::vector<std::string> kTwoSources = {
    "2 Twain data source(s) found:",
    " ", "Source Index:0", "Stand-in Scanner", "Stand-in Maker", "Scanners", "2.0",
    " ", "Source Index:1", "Stand-in Camera", "Stand-in Maker", "Cameras", "3.1 beta",
};

}  // namespace

TEST_F(TwainTest, TheMainWindowsIdentityIsTheTableOfTheApplicationIdentity)
{
    TForm1 form;
    const scanner::TW_IDENTITY id = scanner::MakeIdentity(form.DTwain1->Info);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&id);
    const unsigned char head[] = {0, 0, 0, 0, 4, 0, 1, 0, 0xFF, 0xFF, 1, 0};
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 12), std::vector<unsigned char>(head, head + 12));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 12), 34), std::string("Tavro Scan") + std::string(24, '\0'));
    const unsigned char protocol[] = {1, 0, 9, 0, 3, 0, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(bytes + 46, bytes + 54), std::vector<unsigned char>(protocol, protocol + 8));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 54), 34), std::string("Tavro") + std::string(29, '\0'));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 88), 34), std::string("Tavro Scan") + std::string(24, '\0'));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 122), 34), std::string("Tavro Scan") + std::string(24, '\0'));

    scanner::TwainInfo info;
    info.ProductName = std::string(40, 'x');
    EXPECT_EQ(std::string(scanner::MakeIdentity(info).ProductName, 34), std::string(34, 'x'));
}

TEST(FindManager, TakesTheFirstFolderThatHoldsOne)
{
    const auto in = [](std::vector<std::string> present) {
        return [present](const std::string& path) {
            for (const auto& p : present)
                if (p == path) return true;
            return false;
        };
    };
    const std::vector<std::string> folders = {"C:\\windows", "C:\\windows\\system32", "Z:\\cwd", "C:\\app", "C:\\tmp\\"};
    EXPECT_EQ(scanner::FindManager(folders, in({"C:\\app\\TWAIN_32.DLL", "C:\\tmp\\TWAIN_32.DLL"})), "C:\\app\\TWAIN_32.DLL");
    EXPECT_EQ(scanner::FindManager(folders, in({"C:\\tmp\\TWAIN_32.DLL"})), "C:\\tmp\\TWAIN_32.DLL");
    EXPECT_EQ(scanner::FindManager(folders, in({"C:\\windows\\TWAIN_32.DLL", "Z:\\cwd\\TWAIN_32.DLL"})),
              "C:\\windows\\TWAIN_32.DLL");
    EXPECT_EQ(scanner::FindManager(folders, in({})), "");
}

TEST_F(TwainTest, SectionLinesForEachManagerBehaviour)
{
    const struct {
        const char* mode;
        std::vector<std::string> lines;
    } cases[] = {
        {"two", kTwoSources},
        {"refuse", {"0 Twain data source(s) found:"}},
        {"openfault", {"0 Twain data source(s) found:"}},
        {"nosources", {"0 Twain data source(s) found:"}},
        {"echo", {"1 Twain data source(s) found:", " ", "Source Index:0", "Tavro Scan", "Tavro", "Tavro Scan",
                  "4.1 65535 1 1.9 3 id 7"}},
    };
    for (const auto& c : cases) {
        SetEnvironmentVariableA("TAVRO_STANDIN", c.mode);
        auto twain = StandIn();
        EXPECT_EQ(Section(*twain), c.lines) << c.mode;
        EXPECT_FALSE(twain->LibraryLoaded()) << c.mode;
        EXPECT_FALSE(twain->SourceManagerLoaded()) << c.mode;
    }
}

TEST_F(TwainTest, NoManagerAnywhereGivesTwoLines)
{
    auto twain = StandIn({"C:\\no such folder", ""});
    EXPECT_EQ(Section(*twain), (std::vector<std::string>{"Cannot load Twain DSM", "0 Twain data source(s) found:"}));
    EXPECT_FALSE(twain->LibraryLoaded());
}

TEST_F(TwainTest, AFailedFirstLoadIsReportedAndTheSecondIsUsed)
{
    SetEnvironmentVariableA("TAVRO_STANDIN", "failfirst");
    auto twain = StandIn();
    std::vector<std::string> expected = {"Cannot load Twain DSM"};
    expected.insert(expected.end(), kTwoSources.begin(), kTwoSources.end());
    EXPECT_EQ(Section(*twain), expected);
}

TEST_F(TwainTest, AFaultWhileSourcesAreReportedLeavesTheComponentOpenAndIsAskedAgain)
{
    SetEnvironmentVariableA("TAVRO_STANDIN", "fault");
    auto twain = StandIn();
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> lines;
        try {
            scanner::WriteTwainSection(*twain, [&](const std::string& line) { lines.push_back(line); });
            FAIL() << "no fault";
        } catch (const scanner::HardwareFault& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.substr(0, 28), "Access violation at address ");
            EXPECT_EQ(message.substr(36), ". Read of address 00000000") << message;
        }
        EXPECT_TRUE(lines.empty()) << "round " << round;
        EXPECT_TRUE(twain->LibraryLoaded());
        EXPECT_TRUE(twain->SourceManagerLoaded());
    }
    // The next run loads nothing, opens nothing and asks the manager again for the whole list.
    SetEnvironmentVariableA("TAVRO_STANDIN", "two");
    EXPECT_EQ(Section(*twain), kTwoSources);
    EXPECT_FALSE(twain->LibraryLoaded());
}

TEST_F(TwainTest, DestroyingTheComponentClosesAndUnloadsTheManager)
{
    SetEnvironmentVariableA("TAVRO_STANDIN", "two");
    HWND window = nullptr;
    {
        auto twain = StandIn();
        window = twain->Handle();
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(IsWindowVisible(window));
        ASSERT_TRUE(twain->LoadTwainLibrary());
        twain->SetSourceManagerLoaded(true);
        EXPECT_EQ(twain->SourceCount(), 2);
        EXPECT_NE(GetModuleHandleA((StandInFolder() + "\\TWAIN_32.DLL").c_str()), nullptr);
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetModuleHandleA((StandInFolder() + "\\TWAIN_32.DLL").c_str()), nullptr);
}
