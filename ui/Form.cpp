#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/Controls.h"

#include <stdexcept>

namespace ui {

namespace {
const char kFormClass[] = "TavroForm";

void RegisterFormClass()
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA wc = {sizeof(wc)};
    wc.lpfnWndProc = DefWindowProcA;  // replaced by the form's own procedure at creation
    wc.hInstance = TheApplication.Instance();
    wc.hIcon = TheApplication.Icon();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
    registered = true;
}

Control* ControlOf(HWND child)
{
    return child ? reinterpret_cast<Control*>(GetWindowLongPtrA(child, GWLP_USERDATA)) : nullptr;
}
}  // namespace

Form::Form(const FormSettings& s)
{
    face_ = AvailableFace(s.fontFace);

    // Scaling: the font follows the display's pixel density; when its text height then differs from the
    // design's, every position and size follows the text height.
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    int fontHeight = s.fontHeight;
    if (dpi != 96) {
        fontHeight = MulDiv(s.fontHeight, dpi, 96);
        font_ = Font(face_, fontHeight, false);
        const int textHeight = font_.TextHeight();
        if (textHeight != s.designTextHeight) {
            scaleNum_ = textHeight;
            scaleDen_ = s.designTextHeight;
        }
    } else {
        font_ = Font(face_, fontHeight, false);
    }

    RegisterFormClass();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r = {0, 0, Scale(s.clientWidth), Scale(s.clientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    hwnd_ = CreateWindowExA(0, kFormClass, s.caption.c_str(), style, s.left, s.top, r.right - r.left,
                            r.bottom - r.top, TheApplication.Handle(), nullptr, TheApplication.Instance(), nullptr);
    if (!hwnd_) throw std::runtime_error("Cannot create the window");
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
}

Form::~Form()
{
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Form::Show()
{
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(0, [&] { return form->HandleMessage(msg, wp, lp); });
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (Control* c = ControlOf(reinterpret_cast<HWND>(lp))) c->Command(HIWORD(wp));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (Control* c = ControlOf(reinterpret_cast<HWND>(lp)))
            return reinterpret_cast<LRESULT>(c->Colors(reinterpret_cast<HDC>(wp)));
        break;
    case WM_DRAWITEM:
        if (Control* c = ControlOf(reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem)) {
            c->Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // Keyboard focus: back to where it was (the form itself included); the first control of the tab
        // order when nothing held it.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus == hwnd_ || IsChild(hwnd_, focus)) lastFocus_ = focus;
        } else if (!IsIconic(hwnd_)) {
            HWND target = lastFocus_ && (lastFocus_ == hwnd_ || IsChild(hwnd_, lastFocus_)) ? lastFocus_ : nullptr;
            if (!target) target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            SetFocus(target ? target : hwnd_);
        }
        return 0;
    case WM_SYSCOMMAND:
        // Minimising goes through the application window, the taskbar entry, which hides the form with it.
        if ((wp & 0xFFF0) == SC_MINIMIZE && GetWindow(hwnd_, GW_OWNER) == TheApplication.Handle()) {
            TheApplication.Minimize();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Closing the main form ends the message loop; a report run in progress finishes first.
        TheApplication.Terminate();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace ui
