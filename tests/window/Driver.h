// Drives the real program from another process, as a user would: start it, find its window and
// controls, type, click, read the pane, the labels, the dialogs and the clipboard.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace driver {

// Unix path (as CMake and the shell know it) to a path Wine's programs can open.
std::string WinePath(const std::string& unixPath);
// The program under test: TAVRO_EXE, or the named sibling of it (e.g. "Project1_fault.exe").
std::string ProgramPath(const std::string& sibling = "");

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(60));

std::string Text(HWND window);
// Client-area rectangle of a child, relative to its parent's client area.
RECT ChildRect(HWND child);
std::string ClassName(HWND window);
bool Visible(HWND window);
bool Enabled(HWND window);

// Saves what the screen shows of the window (its frame included) as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::string& path);
// Where the tests keep their screenshots: <build>/screenshots/<name>.bmp (a Wine path).
std::string ScreenshotPath(const std::string& name);

std::string ClipboardText();
void SetClipboardText(const std::string& text);
std::vector<std::string> Lines(const std::string& text);  // split at CR LF; the final one ends the last line

class Program {
public:
    explicit Program(const std::string& exe = ProgramPath());
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    HWND Form() const { return form_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // The child of the form of this window class at this client position (design pixels).
    HWND Control(const char* windowClass, int left, int top) const;
    HWND RunButton() const { return Control("Button", 12, 164); }
    HWND Pane() const { return Control("TavroReportPane", 12, 204); }
    HWND MakeBox() const { return Control("Edit", 56, 32); }
    HWND ModelBox() const { return Control("Edit", 56, 60); }
    HWND CheckBox() const { return Control("Button", 16, 116); }
    HWND Label1() const { return Control("Static", 192, 164); }
    HWND Label2() const { return Control("Static", 192, 180); }

    // Types by posting the characters to the box (after clearing it); long texts are set whole.
    void Type(HWND edit, const std::string& text) const;
    void Click(HWND button) const;
    // Clicks Run and waits for the finished state; returns the pane's text.
    std::string RunReport(const std::string& make, const std::string& model);
    bool WaitFinished(std::chrono::milliseconds timeout = std::chrono::seconds(300)) const;

    // A top-level window of the program other than the form (a message box), or nullptr.
    HWND FindPopup() const;
    // Text of the static of a message box (its message).
    static std::string PopupMessage(HWND popup);
    static void PressOk(HWND popup);

    void Close() const;
    // Waits for the process to end; its exit code, or STILL_ACTIVE.
    DWORD WaitExit(DWORD milliseconds) const;

private:
    PROCESS_INFORMATION pi_ = {};
    HWND form_ = nullptr;
};

}  // namespace driver
