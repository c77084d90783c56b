#include "window/Driver.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace driver {

std::string WinePath(const std::string& unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ProgramPath(const std::string& sibling)
{
    const char* exe = std::getenv("TAVRO_EXE");
    if (!exe) throw std::runtime_error("TAVRO_EXE is not set");
    std::string path = WinePath(exe);
    if (!sibling.empty()) path = path.substr(0, path.find_last_of('\\') + 1) + sibling;
    return path;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string Text(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 60000, &length)) return "";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                        60000, &copied);
    text.resize(copied);
    return text;
}

RECT ChildRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }
bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool SaveScreenshot(HWND window, const std::string& path)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(300);  // let the program paint
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (w * 3 + 3) & ~3u, size = stride * h;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    bool saved = false;
    if (FILE* f = fopen(path.c_str(), "wb")) {
        saved = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
                fwrite(bits, size, 1, f) == 1;
        fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

std::string ScreenshotPath(const std::string& name)
{
    const char* build = std::getenv("TAVRO_BUILD");
    const char* arch = std::getenv("TAVRO_ARCH");
    if (!build) return name + ".bmp";
    const std::string folder = WinePath(build) + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name + (arch ? std::string("-") + arch : "") + ".bmp";
}

std::string ClipboardText()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            std::string text;
            if (HANDLE data = GetClipboardData(CF_TEXT)) {
                if (const char* p = static_cast<const char*>(GlobalLock(data))) {
                    text = p;
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
            return text;
        }
        Sleep(20);
    }
    throw std::runtime_error("cannot open the clipboard");
}

void SetClipboardText(const std::string& text)
{
    if (!OpenClipboard(nullptr)) throw std::runtime_error("cannot open the clipboard");
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

namespace {
struct Search {
    DWORD pid;
    const char* caption;
    HWND exclude;
    HWND found;
    HWND alsoExclude;  // the application window, the taskbar entry
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || hwnd == s->exclude || hwnd == s->alsoExclude || !IsWindowVisible(hwnd)) return TRUE;
    if (s->caption && Text(hwnd) != s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
}
}  // namespace

Program::Program(const std::string& exe)
{
    STARTUPINFOA si = {sizeof(si)};
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
        throw std::runtime_error("cannot start " + exe);
    WaitForInputIdle(pi_.hProcess, 30000);
    Search s = {pi_.dwProcessId, "Tavro Reporting Tool", nullptr, nullptr, nullptr};
    WaitFor([&] {
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
    });
    form_ = s.found;
    if (!form_) throw std::runtime_error("the main window did not appear");
}

Program::~Program()
{
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 10000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

HWND Program::Control(const char* windowClass, int left, int top) const
{
    for (HWND child = GetWindow(form_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = ChildRect(child);
        if (r.left == left && r.top == top && lstrcmpiA(ClassName(child).c_str(), windowClass) == 0) return child;
    }
    throw std::runtime_error(std::string("no ") + windowClass + " at " + std::to_string(left) + "," +
                             std::to_string(top));
}

void Program::Type(HWND edit, const std::string& text) const
{
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    if (text.size() > 200) {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    for (unsigned char c : text) PostMessageA(edit, WM_CHAR, c, 1);
    WaitFor([&] { return Text(edit) == text; }, std::chrono::seconds(10));
}

void Program::Click(HWND button) const
{
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool Program::WaitFinished(std::chrono::milliseconds timeout) const
{
    HWND label = Label1(), paste = Label2(), run = RunButton();
    return WaitFor([&] { return Visible(paste) && Enabled(run) &&
                                Text(label) == "The report has been copied to the clipboard. You can now"; },
                   timeout);
}

std::string Program::RunReport(const std::string& make, const std::string& model)
{
    Type(MakeBox(), make);
    Type(ModelBox(), model);
    // The labels of an earlier run go first, so that the finished state seen next is this run's.
    HWND paste = Label2();
    Click(RunButton());
    WaitFor([&] { return !Visible(paste) || FindPopup(); }, std::chrono::seconds(30));
    if (!WaitFinished()) throw std::runtime_error("the report run did not finish");
    return Text(Pane());
}

HWND Program::FindPopup() const
{
    Search s = {pi_.dwProcessId, nullptr, form_, nullptr, GetWindow(form_, GW_OWNER)};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string Program::PopupMessage(HWND popup)
{
    // The message is the box's static control that holds text (the icon is a static without text).
    for (HWND child = GetWindow(popup, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (lstrcmpiA(ClassName(child).c_str(), "Static") == 0 && !Text(child).empty()) return Text(child);
    return "";
}

void Program::PressOk(HWND popup)
{
    PostMessageA(popup, WM_COMMAND, IDOK, 0);
}

void Program::Close() const
{
    PostMessageA(form_, WM_CLOSE, 0, 0);
}

DWORD Program::WaitExit(DWORD milliseconds) const
{
    WaitForSingleObject(pi_.hProcess, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

}  // namespace driver
