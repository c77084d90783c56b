#include "ui/ReportPane.h"

#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/Form.h"

namespace ui {

namespace {
const UINT_PTR kRedrawTimer = 1;
}

ReportPane::ReportPane(Form& form, const Bounds& bounds)
    : Control(form, "EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE,
              WS_EX_CLIENTEDGE, "", bounds, nullptr)
{
    SendMessageA(hwnd_, EM_SETLIMITTEXT, 0, 0);  // the default stops at 30,000 characters
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

ReportPane::~ReportPane()
{
    if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
}

void ReportPane::Clear()
{
    text_.clear();
    shown_ = 0;
    lines_ = 0;
    CallWindowProcA(editProc_, hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
}

void ReportPane::AddLine(const std::string& line)
{
    text_ += line;
    text_ += "\r\n";
    ++lines_;
    // Outside any bracket the line is due at the next redraw; a timer asks for one a moment later, so that
    // a burst of lines costs one edit call rather than one each.
    if (updateCount_ == 0 && !redrawPending_) redrawPending_ = SetTimer(hwnd_, kRedrawTimer, 100, nullptr) != 0;
}

void ReportPane::BeginUpdate()
{
    if (updateCount_++ == 0) CallWindowProcA(editProc_, hwnd_, WM_SETREDRAW, FALSE, 0);
}

void ReportPane::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    Flush();
    CallWindowProcA(editProc_, hwnd_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

void ReportPane::Flush()
{
    if (shown_ == text_.size()) return;
    const LRESULT end = CallWindowProcA(editProc_, hwnd_, WM_GETTEXTLENGTH, 0, 0);
    CallWindowProcA(editProc_, hwnd_, EM_SETSEL, end, end);
    CallWindowProcA(editProc_, hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text_.c_str() + shown_));
    shown_ = text_.size();
    CallWindowProcA(editProc_, hwnd_, EM_SCROLLCARET, 0, 0);  // keep the newest line in view
}

void ReportPane::SelectAll()
{
    Flush();
    CallWindowProcA(editProc_, hwnd_, EM_SETSEL, 0, -1);
}

void ReportPane::CopyToClipboard()
{
    Flush();
    DWORD start = 0, end = 0;
    CallWindowProcA(editProc_, hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end > text_.size()) end = static_cast<DWORD>(text_.size());
    if (start >= end) return;
    PutClipboardText(form_.Handle(), text_.substr(start, end - start));
}

HBRUSH ReportPane::Colors(HDC dc)
{
    // Read-only edits ask for the static colours; the pane keeps the window colour.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

LRESULT CALLBACK ReportPane::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* pane = reinterpret_cast<ReportPane*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!pane) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(0, [&]() -> LRESULT {
        switch (msg) {
        case WM_PAINT:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
        case WM_COPY:
        case EM_GETLINECOUNT:
            // Whoever looks at the pane sees every line added so far.
            if (pane->updateCount_ == 0) pane->Flush();
            break;
        case WM_TIMER:
            if (wp != kRedrawTimer) break;
            KillTimer(hwnd, kRedrawTimer);
            pane->redrawPending_ = false;
            if (pane->updateCount_ == 0) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            // Tab leaves the pane, as in any dialog.
            return CallWindowProcA(pane->editProc_, hwnd, msg, wp, lp) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
        }
        return CallWindowProcA(pane->editProc_, hwnd, msg, wp, lp);
    });
}

}  // namespace ui
