#include "ui/ReportPane.h"

#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace ui {

namespace {
const int kMargin = 2;  // left and top, as an edit control leaves them
const UINT_PTR kScrollBarTimer = 1;
const DWORD kScrollBarInterval = 200;  // ms
const UINT_PTR kRedrawTimer = 2;
const DWORD kRedrawInterval = 50;  // ms
enum : UINT { kCopyCommand = 1, kSelectAllCommand = 2 };
}  // namespace

const char* ReportPane::WindowClass()
{
    static const char name[] = "TavroReportPane";
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc = {sizeof(wc)};
        wc.style = CS_DBLCLKS;
        wc.cbWndExtra = sizeof(ReportPane*);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = TheApplication.Instance();
        wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
        wc.lpszClassName = name;
        RegisterClassExA(&wc);
        registered = true;
    }
    return name;
}

ReportPane::ReportPane(Form& form, const Bounds& bounds)
    : Control(form, WindowClass(), WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, WS_EX_CLIENTEDGE, "", bounds, nullptr)
{
    // Only now, with every member in place, does the window procedure reach this object.
    SetWindowLongPtrA(hwnd_, 0, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form.FontHandle()), FALSE);
}

ReportPane::~ReportPane()
{
    if (IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, 0, 0);
}

void ReportPane::Clear()
{
    text_.clear();
    lineStarts_.clear();
    anchor_ = active_ = 0;
    topLine_ = 0;
    UpdateLayout(false);
    InvalidateRect(hwnd_, nullptr, FALSE);
    PlaceCaret();
}

void ReportPane::AddLine(const std::string& line)
{
    lineStarts_.push_back(text_.size());
    text_ += line;
    text_ += "\r\n";
    linesAdded_ = true;
    // Outside a bracket the line is due at the next redraw: ask for one, once. While found files pour in,
    // a redraw for them comes at most every few hundredths of a second: the search takes the window's
    // messages after every entry, and Wine would otherwise repaint the pane each time.
    if (updateCount_ == 0 && !repaintPending_) {
        repaintPending_ = true;
        const DWORD since = GetTickCount() - directRedrawn_;
        if (since >= kRedrawInterval) {
            RedrawForAddedLines();
        } else {
            SetTimer(hwnd_, kRedrawTimer, kRedrawInterval - since, nullptr);
            redrawTimer_ = true;
        }
    }
}

// The bracket is the pane's own: WM_SETREDRAW would do, but Wine then redraws the frame and scroll bar as
// well each time the bracket closes, which costs it several milliseconds a line.
void ReportPane::BeginUpdate()
{
    ++updateCount_;
}

void ReportPane::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    const long oldTop = topLine_;
    UpdateLayout(true);
    // Following the end after a few new lines: move what is drawn up and draw only the new rows.
    const long moved = topLine_ - oldTop;
    if (!needsFullPaint_ && moved > 0 && moved < VisibleLines() && !GetUpdateRect(hwnd_, nullptr, FALSE)) {
        RECT client;
        GetClientRect(hwnd_, &client);
        RECT rows = {client.left, kMargin, client.right, kMargin + VisibleLines() * lineHeight_};
        ScrollWindowEx(hwnd_, 0, -moved * lineHeight_, &rows, &rows, nullptr, nullptr, SW_INVALIDATE);
    } else {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    needsFullPaint_ = false;
    const long last = static_cast<long>(lineStarts_.size()) - 1;
    RECT newest = {0, kMargin + (last - topLine_) * lineHeight_, 32767, kMargin + (last - topLine_ + 1) * lineHeight_};
    InvalidateRect(hwnd_, &newest, FALSE);
    UpdateWindow(hwnd_);
}

void ReportPane::RedrawForAddedLines()
{
    directRedrawn_ = GetTickCount();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ReportPane::SelectAll()
{
    Select(0, text_.size());
}

void ReportPane::CopyToClipboard()
{
    const size_t from = std::min(anchor_, active_), to = std::max(anchor_, active_);
    if (from < to) PutClipboardText(form_.Handle(), text_.substr(from, to - from));
}

int ReportPane::VisibleLines() const
{
    RECT r;
    GetClientRect(hwnd_, &r);
    return std::max(1, static_cast<int>((r.bottom - kMargin) / lineHeight_));
}

void ReportPane::UpdateLayout(bool followEnd)
{
    if (linesAdded_) followEnd = true;
    linesAdded_ = false;
    const long lines = static_cast<long>(lineStarts_.size());
    const long maxTop = std::max(0L, lines - VisibleLines());
    topLine_ = followEnd ? maxTop : std::min(topLine_, maxTop);
    SetScrollBar(std::max(0L, lines - 1), VisibleLines());
    PlaceCaret();
}

void ReportPane::SetScrollBar(long maxLine, int page)
{
    if (maxLine == scrollMax_ && page == scrollPage_ && topLine_ == scrollPos_) return;
    scrollMax_ = maxLine;
    scrollPage_ = page;
    scrollPos_ = topLine_;
    // Drawing the scroll bar costs Wine more than drawing the lines: while lines pour in, it is drawn at
    // most every few tenths of a second, and once more when they stop.
    const DWORD now = GetTickCount();
    const bool drawNow = now - scrollDrawn_ >= kScrollBarInterval;
    ApplyScrollBar(drawNow);
    if (drawNow) {
        if (scrollTimer_) KillTimer(hwnd_, kScrollBarTimer);
        scrollTimer_ = false;
    } else if (!scrollTimer_) {  // one timer at a time: each call is a wineserver round trip
        SetTimer(hwnd_, kScrollBarTimer, kScrollBarInterval, nullptr);
        scrollTimer_ = true;
    }
}

void ReportPane::ApplyScrollBar(bool draw)
{
    SCROLLINFO si = {sizeof(si), SIF_ALL | SIF_DISABLENOSCROLL};
    si.nMax = scrollMax_;
    si.nPage = scrollPage_;
    si.nPos = scrollPos_;
    SetScrollInfo(hwnd_, SB_VERT, &si, draw);
    if (draw) scrollDrawn_ = GetTickCount();
}

void ReportPane::ScrollTo(long topLine)
{
    const long maxTop = std::max(0L, static_cast<long>(lineStarts_.size()) - VisibleLines());
    topLine = std::max(0L, std::min(topLine, maxTop));
    if (topLine == topLine_) return;
    topLine_ = topLine;
    scrollPos_ = topLine_;
    SetScrollPos(hwnd_, SB_VERT, topLine_, TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
    PlaceCaret();
}

size_t ReportPane::LineEnd(size_t line) const
{
    return (line + 1 < lineStarts_.size() ? lineStarts_[line + 1] : text_.size()) - 2;
}

size_t ReportPane::HitTest(int x, int y) const
{
    if (lineStarts_.empty()) return 0;
    long line = topLine_ + (y - kMargin) / lineHeight_;
    if (y < kMargin) line = topLine_ - 1;
    if (line < 0) return 0;
    if (line >= static_cast<long>(lineStarts_.size())) return text_.size();
    const size_t start = lineStarts_[line], length = LineEnd(line) - start;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    int fit = 0;
    SIZE size;
    GetTextExtentExPointA(dc, text_.c_str() + start, static_cast<int>(length), std::max(0, x - kMargin), &fit,
                          nullptr, &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return start + fit;
}

void ReportPane::Select(size_t anchor, size_t active)
{
    anchor_ = std::min(anchor, text_.size());
    active_ = std::min(active, text_.size());
    InvalidateRect(hwnd_, nullptr, FALSE);
    PlaceCaret();
}

void ReportPane::PlaceCaret()
{
    if (!focused_) return;
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), active_);
    const long line = it == lineStarts_.begin() ? 0 : static_cast<long>(it - lineStarts_.begin()) - 1;
    int x = kMargin;
    if (!lineStarts_.empty()) {
        const size_t start = lineStarts_[line];
        const size_t column = std::min(active_, LineEnd(line)) - start;
        HDC dc = GetDC(hwnd_);
        HGDIOBJ old = SelectObject(dc, font_);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text_.c_str() + start, static_cast<int>(column), &size);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
        x += size.cx;
    }
    // After the last line break the caret stands at the start of the empty remainder.
    const long caretLine = !lineStarts_.empty() && active_ == text_.size() ? static_cast<long>(lineStarts_.size())
                                                                            : line;
    if (caretLine != line) x = kMargin;
    SetCaretPos(x, kMargin + (caretLine - topLine_) * lineHeight_);
}

void ReportPane::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (updateCount_ > 0) {  // no drawing while a bracket is open; all of it when the last one closes
        needsFullPaint_ = true;
        EndPaint(hwnd_, &ps);
        return;
    }
    repaintPending_ = false;
    if (redrawTimer_) {  // this redraw shows the lines the timer was waiting for
        KillTimer(hwnd_, kRedrawTimer);
        redrawTimer_ = false;
    }
    if (linesAdded_) UpdateLayout(true);
    RECT client;
    GetClientRect(hwnd_, &client);
    HGDIOBJ old = SelectObject(dc, font_);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_WINDOW);
    const COLORREF selText = GetSysColor(COLOR_HIGHLIGHTTEXT), selBack = GetSysColor(COLOR_HIGHLIGHT);
    const size_t from = std::min(anchor_, active_), to = std::max(anchor_, active_);
    const bool showSelection = focused_ && from < to;

    RECT top = {client.left, client.top, client.right, kMargin};
    FillRect(dc, &top, GetSysColorBrush(COLOR_WINDOW));
    int y = kMargin;
    for (long line = topLine_; line < static_cast<long>(lineStarts_.size()) && y < client.bottom; ++line) {
        RECT row = {client.left, y, client.right, y + lineHeight_};
        if (row.bottom > ps.rcPaint.top && row.top < ps.rcPaint.bottom) {
            const size_t start = lineStarts_[line], end = LineEnd(line);
            SetTextColor(dc, text);
            SetBkColor(dc, back);
            ExtTextOutA(dc, kMargin, y, ETO_OPAQUE | ETO_CLIPPED, &row, text_.c_str() + start,
                        static_cast<UINT>(end - start), nullptr);
            if (showSelection && from < end + 2 && to > start) {
                // The selected stretch of this line, drawn again over the plain text.
                const size_t a = std::max(from, start), b = std::min(to, end);
                SIZE before = {}, part = {};
                GetTextExtentPoint32A(dc, text_.c_str() + start, static_cast<int>(a - start), &before);
                GetTextExtentPoint32A(dc, text_.c_str() + a, static_cast<int>(b - a), &part);
                if (to > end) part.cx += 4;  // the selected line break shows as a little block
                RECT sel = {kMargin + before.cx, y, kMargin + before.cx + part.cx, y + lineHeight_};
                SetTextColor(dc, selText);
                SetBkColor(dc, selBack);
                ExtTextOutA(dc, sel.left, y, ETO_OPAQUE | ETO_CLIPPED, &sel, text_.c_str() + a,
                            static_cast<UINT>(b - a), nullptr);
            }
        }
        y += lineHeight_;
    }
    if (y < client.bottom) {
        RECT rest = {client.left, y, client.right, client.bottom};
        FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    }
    SelectObject(dc, old);
    EndPaint(hwnd_, &ps);
}

void ReportPane::ShowContextMenu(int x, int y)
{
    if (x == -1 && y == -1) {  // from the keyboard: at the pane's corner
        POINT p = {kMargin, kMargin};
        ClientToScreen(hwnd_, &p);
        x = p.x;
        y = p.y;
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | (anchor_ != active_ ? 0 : MF_GRAYED), kCopyCommand, "&Copy");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | (text_.empty() ? MF_GRAYED : 0), kSelectAllCommand, "Select &All");
    const UINT command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
    if (command == kCopyCommand) CopyToClipboard();
    if (command == kSelectAllCommand) SelectAll();
}

LRESULT CALLBACK ReportPane::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* pane = reinterpret_cast<ReportPane*>(GetWindowLongPtrA(hwnd, 0));
    if (!pane) return DefWindowProcA(hwnd, msg, wp, lp);
    return Guarded(0, [&] { return pane->HandleMessage(msg, wp, lp); });
}

LRESULT ReportPane::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wp == kRedrawTimer) {
            KillTimer(hwnd_, kRedrawTimer);
            redrawTimer_ = false;
            RedrawForAddedLines();
            return 0;
        }
        if (wp == kScrollBarTimer) {
            KillTimer(hwnd_, kScrollBarTimer);
            scrollTimer_ = false;
            ApplyScrollBar(true);
            return 0;
        }
        break;
    case WM_SETFONT: {
        font_ = reinterpret_cast<HFONT>(wp);
        HDC dc = GetDC(hwnd_);
        HGDIOBJ old = SelectObject(dc, font_);
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(hwnd_, dc);
        lineHeight_ = std::max(1L, tm.tmHeight);
        UpdateLayout(false);
        if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
        UpdateLayout(false);
        return 0;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        if (wp == 0) return 0;
        const size_t n = std::min(static_cast<size_t>(wp) - 1, text_.size());
        memcpy(reinterpret_cast<char*>(lp), text_.data(), n);
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT:
        return FALSE;  // read-only: the report is only appended to
    case EM_GETSEL: {
        const DWORD from = static_cast<DWORD>(std::min(anchor_, active_)), to = static_cast<DWORD>(std::max(anchor_, active_));
        if (wp) *reinterpret_cast<DWORD*>(wp) = from;
        if (lp) *reinterpret_cast<DWORD*>(lp) = to;
        return MAKELRESULT(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF));
    }
    case EM_SETSEL: {
        const long start = static_cast<long>(wp), end = static_cast<long>(lp);
        Select(start < 0 ? active_ : static_cast<size_t>(start), end < 0 ? text_.size() : static_cast<size_t>(end));
        return 0;
    }
    case WM_COPY:
        CopyToClipboard();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;  // Tab and Enter stay with the dialog navigation
    case WM_SETFOCUS:
        focused_ = true;
        CreateCaret(hwnd_, nullptr, 1, lineHeight_);
        PlaceCaret();
        ShowCaret(hwnd_);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        focused_ = false;
        DestroyCaret();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd_);
        const size_t at = HitTest(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        Select(wp & MK_SHIFT ? anchor_ : at, at);
        SetCapture(hwnd_);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd_) {
            const int y = GET_Y_LPARAM(lp);
            RECT r;
            GetClientRect(hwnd_, &r);
            if (y < 0) ScrollTo(topLine_ - 1);
            if (y > r.bottom) ScrollTo(topLine_ + 1);
            Select(anchor_, HitTest(GET_X_LPARAM(lp), y));
        }
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    case WM_CONTEXTMENU:
        ShowContextMenu(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(topLine_ - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3);
        return 0;
    case WM_VSCROLL: {
        SCROLLINFO si = {sizeof(si), SIF_TRACKPOS};
        GetScrollInfo(hwnd_, SB_VERT, &si);
        const long page = VisibleLines();
        switch (LOWORD(wp)) {
        case SB_LINEUP: ScrollTo(topLine_ - 1); break;
        case SB_LINEDOWN: ScrollTo(topLine_ + 1); break;
        case SB_PAGEUP: ScrollTo(topLine_ - page); break;
        case SB_PAGEDOWN: ScrollTo(topLine_ + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(static_cast<long>(lineStarts_.size())); break;
        }
        return 0;
    }
    case WM_KEYDOWN: {
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        const long page = VisibleLines();
        switch (wp) {
        case VK_UP: ScrollTo(topLine_ - 1); return 0;
        case VK_DOWN: ScrollTo(topLine_ + 1); return 0;
        case VK_PRIOR: ScrollTo(topLine_ - page); return 0;
        case VK_NEXT: ScrollTo(topLine_ + page); return 0;
        case VK_HOME: if (ctrl) ScrollTo(0); return 0;
        case VK_END: if (ctrl) ScrollTo(static_cast<long>(lineStarts_.size())); return 0;
        case 'A': if (ctrl) SelectAll(); return 0;
        case 'C':
        case VK_INSERT: if (ctrl) CopyToClipboard(); return 0;
        }
        break;
    }
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace ui
