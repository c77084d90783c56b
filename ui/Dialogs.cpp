#include "ui/Dialogs.h"

#include "ui/Application.h"

#include <windows.h>

namespace ui {

namespace {
HHOOK g_centreHook = nullptr;

// Moves the message box to the centre of the screen as it is activated.
LRESULT CALLBACK CentreOnScreen(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wp);
        RECT r;
        GetWindowRect(box, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UnhookWindowsHookEx(g_centreHook);
        g_centreHook = nullptr;
        return 0;
    }
    return CallNextHookEx(g_centreHook, code, wp, lp);
}
}  // namespace

void ShowMessage(const std::string& text)
{
    // Owned by the main window, which takes no input while the dialog is open.
    HWND owner = TheApplication.MainWindow();
    g_centreHook = SetWindowsHookExA(WH_CBT, CentreOnScreen, nullptr, GetCurrentThreadId());
    MessageBoxA(owner, text.c_str(), TheApplication.Title().c_str(), MB_OK);
    if (g_centreHook) {
        UnhookWindowsHookEx(g_centreHook);
        g_centreHook = nullptr;
    }
}

}  // namespace ui
