// The main window and the report run, driven from this process as a user would.
#include "window/Driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

using driver::Program;

namespace {

const std::string kSeparator(78, '-');

// The report lines that this process can work out for itself on the same machine.
std::vector<std::string> ExpectedHostBlock()
{
    OSVERSIONINFOA v = {sizeof(v)};
    GetVersionExA(&v);
    char system[MAX_PATH], temp[MAX_PATH], tempVar[32768] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    GetEnvironmentVariableA("TEMP", tempVar, sizeof(tempVar));
    const std::string platform = v.dwPlatformId == 2 ? "Windows NT" : v.dwPlatformId == 1 ? "Windows 9X" : "";
    const bool wow64 = std::string(std::getenv("TAVRO_ARCH")) == "win64";
    return {platform + " " + std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "  Build " +
                std::to_string(v.dwBuildNumber),
            wow64 ? "64 Bit" : "32 Bit", system, tempVar, temp};
}

void ExpectHeader(const std::vector<std::string>& lines)
{
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Tavro Diagnostics v1.61  22-3-13");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\S+( \S+( \S+)?)?)"))) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(\d+-\d{1,2}:\d{1,2}:\d{1,2})"))) << lines[2];
    EXPECT_EQ(lines[3], " ");
}

bool FocusIs(HWND form, HWND expected)
{
    GUITHREADINFO info = {sizeof(info)};
    return GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info) && info.hwndFocus == expected;
}

}  // namespace

TEST(MainWindow, StartsIdleWithTheControlsOfTheDesign)
{
    Program p;
    RECT client;
    GetClientRect(p.Form(), &client);
    EXPECT_EQ(client.right, 513);
    EXPECT_EQ(client.bottom, 631);
    RECT outer;
    GetWindowRect(p.Form(), &outer);
    EXPECT_EQ(outer.left, 285);
    EXPECT_EQ(outer.top, 142);

    const struct {
        const char* cls;
        int left, top, width, height;
        const char* text;
        bool visible;
    } controls[] = {
        {"Button", 12, 164, 145, 29, "Run Report", true},
        {"TavroReportPane", 12, 204, 489, 417, "", true},
        {"Button", 560, 28, 75, 25, "Button2", false},
        {"Edit", 56, 32, 201, 21, "", true},
        {"Edit", 56, 60, 201, 21, "", true},
        {"Button", 16, 116, 177, 17, "Load and query Twain drivers", true},
        {"Static", 12, 132, 481, 17, "", true},
    };
    for (const auto& c : controls) {
        HWND h = p.Control(c.cls, c.left, c.top);
        const RECT r = driver::ChildRect(h);
        EXPECT_EQ(r.right - r.left, c.width) << c.text;
        EXPECT_EQ(r.bottom - r.top, c.height) << c.text;
        EXPECT_EQ(driver::Text(h), c.text);
        EXPECT_EQ(driver::Visible(h), c.visible) << c.text;
    }
    // Labels size themselves to their text; with MS Sans Serif the widths are those of the design (Wine's
    // emboldened bitmap font makes the bold heading one pixel narrower).
    const struct {
        int left, top, width;
        const char* text;
        bool visible;
    } labels[] = {
        {192, 164, 276, "The report has been copied to the clipboard. You can now", false},
        {192, 180, 305, "Paste the information into an email (Right-click then select Paste)", false},
        {12, 8, 324, "Please enter the make and model of scanner being used:", true},
        {16, 36, 30, "Make:", true},
        {16, 64, 32, "Model:", true},
        {16, 92, 393, "If an error occurs when running the report then remove the tick below and try again.", true},
        {196, 117, 253, "(Please let us know the exact error message you saw)", true},
    };
    for (const auto& l : labels) {
        HWND h = p.Control("Static", l.left, l.top);
        EXPECT_EQ(driver::Text(h), l.text);
        EXPECT_EQ(driver::Visible(h), l.visible) << l.text;
        const RECT r = driver::ChildRect(h);
        EXPECT_EQ(r.bottom - r.top, 13) << l.text;
        EXPECT_NEAR(r.right - r.left, l.width, 1) << l.text;
    }
    EXPECT_EQ(SendMessageA(p.CheckBox(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(driver::Enabled(p.RunButton()));
    EXPECT_TRUE(driver::WaitFor([&] { return FocusIs(p.Form(), p.RunButton()); }, std::chrono::seconds(10)));
    // The pane: vertical scroll bar only.
    const LONG style = GetWindowLongA(p.Pane(), GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    driver::SaveScreenshot(p.Form(), driver::ScreenshotPath("idle"));
}

TEST(MainWindow, TabVisitsRunPaneMakeModelCheckBox)
{
    Program p;
    ASSERT_TRUE(driver::WaitFor([&] { return FocusIs(p.Form(), p.RunButton()); }, std::chrono::seconds(10)));
    SetForegroundWindow(p.Form());
    const HWND order[] = {p.Pane(), p.MakeBox(), p.ModelBox(), p.CheckBox(), p.RunButton()};
    for (HWND next : order) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        EXPECT_TRUE(driver::WaitFor([&] { return FocusIs(p.Form(), next); }, std::chrono::seconds(10)))
            << driver::ClassName(next) << " " << driver::ChildRect(next).top;
    }
}

TEST(ReportRun, RefusesAnEmptyMakeOrModelWithItsMessage)
{
    Program p;
    const struct {
        const char* make;
        const char* model;
        const char* message;
    } cases[] = {
        {"", "", "Please enter the Make of your scanner"},
        {"", "X100", "Please enter the Make of your scanner"},
        {"Acme", "", "Please enter the Model of your scanner"},
    };
    driver::SetClipboardText("untouched");
    for (const auto& c : cases) {
        p.Type(p.MakeBox(), c.make);
        p.Type(p.ModelBox(), c.model);
        p.Click(p.RunButton());
        HWND box = nullptr;
        ASSERT_TRUE(driver::WaitFor([&] { return (box = p.FindPopup()) != nullptr; }));
        EXPECT_EQ(driver::Text(box), "Project1");
        EXPECT_EQ(Program::PopupMessage(box), c.message);
        EXPECT_FALSE(driver::Enabled(p.Form()));  // modal
        // Centred on the screen.
        RECT r;
        GetWindowRect(box, &r);
        EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
        EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        Program::PressOk(box);
        ASSERT_TRUE(driver::WaitFor([&] { return !p.FindPopup(); }));
        EXPECT_EQ(driver::Text(p.Pane()), "");
        EXPECT_FALSE(driver::Visible(p.Label1()));
        EXPECT_FALSE(driver::Visible(p.Label2()));
        EXPECT_TRUE(driver::Enabled(p.RunButton()));
    }
    EXPECT_EQ(driver::ClipboardText(), "untouched");
}

TEST(ReportRun, WritesTheHeaderHostFactsAndMakeModelAndCopiesThemWhole)
{
    Program p;
    const std::string text = p.RunReport("  ", "Model 7 ");
    EXPECT_EQ(driver::ClipboardText(), text);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const auto lines = driver::Lines(text);
    ExpectHeader(lines);
    const auto host = ExpectedHostBlock();
    ASSERT_GE(lines.size(), 4 + host.size() + 4);
    for (size_t i = 0; i < host.size(); ++i) EXPECT_EQ(lines[4 + i], host[i]);
    size_t at = 4 + host.size();
    EXPECT_EQ(lines[at], kSeparator);
    EXPECT_EQ(lines[at + 1], "  ");  // blanks only, as typed
    EXPECT_EQ(lines[at + 2], "Model 7 ");
    EXPECT_EQ(lines[at + 3], kSeparator);

    // Finished: paste instructions shown, Run enabled, the whole text selected.
    EXPECT_TRUE(driver::Visible(p.Label2()));
    EXPECT_EQ(driver::Text(p.Label2()), "Paste the information into an email (Right-click then select Paste)");
    DWORD start = 1, end = 0;
    SendMessageA(p.Pane(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, text.size());
    // Focus went to the form when Run was disabled, and stays there.
    EXPECT_TRUE(FocusIs(p.Form(), p.Form()));
    driver::SaveScreenshot(p.Form(), driver::ScreenshotPath("finished"));
}

TEST(ReportRun, UntickedBoxGivesTwoSeparatorsInARowAndASecondRunStartsAfresh)
{
    Program p;
    const std::string first = p.RunReport("Acme", "X1");
    PostMessageA(p.CheckBox(), BM_CLICK, 0, 0);
    ASSERT_TRUE(driver::WaitFor([&] { return SendMessageA(p.CheckBox(), BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    driver::SetClipboardText("previous");
    const std::string second = p.RunReport("Acme", "X2");
    EXPECT_EQ(driver::ClipboardText(), second);
    const auto lines = driver::Lines(second);
    EXPECT_EQ(lines[0], "Tavro Diagnostics v1.61  22-3-13");  // the pane was emptied first
    auto model = std::find(lines.begin(), lines.end(), "X2");
    ASSERT_NE(model, lines.end());
    ASSERT_GE(lines.end() - model, 3);
    EXPECT_EQ(model[1], kSeparator);
    EXPECT_EQ(model[2], kSeparator);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "X1"), 0);
}

TEST(ReportRun, AVeryLongMakeArrivesWholeInThePaneAndOnTheClipboard)
{
    Program p;
    std::string make(200000, 'm');
    for (size_t i = 0; i < make.size(); i += 1000) make[i] = static_cast<char>('A' + i / 1000 % 26);
    const std::string text = p.RunReport(make, "M");
    EXPECT_EQ(driver::ClipboardText(), text);
    const auto lines = driver::Lines(text);
    EXPECT_NE(std::find(lines.begin(), lines.end(), make), lines.end());
}

TEST(ReportRun, AnErrorThatEscapesTheRunStopsTheWindowUntilTheBoxChanges)
{
    Program p(driver::ProgramPath("Project1_fault.exe"));
    driver::SetClipboardText("kept");
    p.Type(p.MakeBox(), "<<raise>>");
    p.Type(p.ModelBox(), "M");
    p.Click(p.RunButton());
    HWND box = nullptr;
    ASSERT_TRUE(driver::WaitFor([&] { return (box = p.FindPopup()) != nullptr; }));
    EXPECT_EQ(driver::Text(box), "Project1_fault");
    EXPECT_EQ(Program::PopupMessage(box), "Injected fault.");
    driver::SaveScreenshot(GetDesktopWindow(), driver::ScreenshotPath("error-box"));
    Program::PressOk(box);
    ASSERT_TRUE(driver::WaitFor([&] { return !p.FindPopup(); }));

    // Stopped: the lines so far, the running label, Run disabled, the clipboard untouched.
    const auto lines = driver::Lines(driver::Text(p.Pane()));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), kSeparator);
    EXPECT_EQ(driver::Text(p.Label1()), "Please Wait, running....");
    EXPECT_TRUE(driver::Visible(p.Label1()));
    EXPECT_FALSE(driver::Visible(p.Label2()));
    EXPECT_FALSE(driver::Enabled(p.RunButton()));
    EXPECT_EQ(driver::ClipboardText(), "kept");
    driver::SaveScreenshot(p.Form(), driver::ScreenshotPath("stopped"));

    // A change of the check box enables Run; the next run starts from the beginning.
    PostMessageA(p.CheckBox(), BM_CLICK, 0, 0);
    ASSERT_TRUE(driver::WaitFor([&] { return driver::Enabled(p.RunButton()); }));
    EXPECT_EQ(driver::Text(p.Label1()), "Please Wait, running....");
    const std::string text = p.RunReport("Acme", "M");
    EXPECT_EQ(driver::Lines(text)[0], "Tavro Diagnostics v1.61  22-3-13");
}

TEST(MainWindow, ClosingEndsTheProgramAtOnce)
{
    Program p;
    p.Close();
    EXPECT_EQ(p.WaitExit(20000), 0u);
}

TEST(MainWindow, ScalesToAnotherPixelDensity)
{
    // 120 pixels per inch for the programs started from now on.
    HKEY desktop;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &desktop, nullptr), ERROR_SUCCESS);
    const DWORD dpi = 120;
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    struct Restore {
        HKEY key;
        ~Restore()
        {
            RegDeleteValueA(key, "LogPixels");
            RegCloseKey(key);
        }
    } restore{desktop};

    // The font follows the density; everything else follows the font's new text height.
    HFONT font = CreateFontA(MulDiv(-11, dpi, 96), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE zero;
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    const int h = zero.cy;
    ASSERT_NE(h, 13);
    auto scaled = [h](int v) { return MulDiv(v, h, 13); };

    Program p;
    RECT client;
    GetClientRect(p.Form(), &client);
    EXPECT_EQ(client.right, scaled(513));
    EXPECT_EQ(client.bottom, scaled(631));
    HWND run = p.Control("Button", scaled(12), scaled(164));
    const RECT r = driver::ChildRect(run);
    EXPECT_EQ(r.right - r.left, scaled(145));
    EXPECT_EQ(r.bottom - r.top, scaled(29));
    const RECT pane = driver::ChildRect(p.Control("TavroReportPane", scaled(12), scaled(204)));
    EXPECT_EQ(pane.right - pane.left, scaled(489));
    EXPECT_EQ(pane.bottom - pane.top, scaled(417));
    // Labels size themselves to the scaled font.
    const RECT label = driver::ChildRect(p.Control("Static", scaled(16), scaled(36)));
    EXPECT_EQ(label.bottom - label.top, h);
}

TEST(MainWindow, TheTaskbarEntryCarriesTheTitleAndMinimisesAndRestoresTheWindow)
{
    Program p;
    // The form's owner is the application window: visible, titled after the executable, without a size.
    HWND app = GetWindow(p.Form(), GW_OWNER);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(driver::Text(app), "Project1");
    EXPECT_TRUE(driver::Visible(app));

    PostMessageA(p.Form(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(driver::WaitFor([&] { return IsIconic(app) && !driver::Visible(p.Form()); }, std::chrono::seconds(10)));
    PostMessageA(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(driver::WaitFor([&] { return !IsIconic(app) && driver::Visible(p.Form()); }, std::chrono::seconds(10)));
    RECT client;
    GetClientRect(p.Form(), &client);
    EXPECT_EQ(client.right, 513);

    // Closing the taskbar entry closes the program, as closing the window does.
    PostMessageA(app, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(20000), 0u);
}
