#include "ui/Controls.h"

#include "ui/Application.h"
#include "ui/Form.h"

#include <stdexcept>
#include <vector>

namespace ui {

Control::Control(Form& form, const char* windowClass, DWORD style, DWORD exStyle, const std::string& text,
                 const Bounds& b, HFONT font)
    : form_(form)
{
    hwnd_ = CreateWindowExA(exStyle, windowClass, text.c_str(), WS_CHILD | style, form.Scale(b.left),
                            form.Scale(b.top), form.Scale(b.width), form.Scale(b.height), form.Handle(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.NextControlId())),
                            TheApplication.Instance(), nullptr);
    if (!hwnd_) throw std::runtime_error("Cannot create a control");
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : form.FontHandle()), FALSE);
}

Control::~Control()
{
    if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

std::string Control::Text() const
{
    std::vector<char> buffer(GetWindowTextLengthA(hwnd_) + 1);
    GetWindowTextA(hwnd_, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

void Control::SetTextRaw(const std::string& text)
{
    SetWindowTextA(hwnd_, text.c_str());
}

void Control::SetVisible(bool visible)
{
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled)
{
    if (!enabled && GetFocus() == hwnd_) SetFocus(form_.Handle());
    EnableWindow(hwnd_, enabled);
}

HBRUSH Control::Colors(HDC dc)
{
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_BTNFACE);
}

Label::Label(Form& form, const std::string& text, int left, int top, const Font* ownFont, COLORREF color)
    : Control(form, "STATIC", SS_LEFT | SS_NOPREFIX, 0, text, {left, top, 0, 0},
              ownFont ? ownFont->Handle() : nullptr),
      font_(ownFont ? ownFont->Handle() : form.FontHandle()),
      color_(color)
{
    AutoSize();
}

void Label::SetText(const std::string& text)
{
    SetTextRaw(text);
    AutoSize();
}

void Label::AutoSize()
{
    const std::string text = Text();
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    SetWindowPos(hwnd_, nullptr, 0, 0, text.empty() ? 0 : r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH Label::Colors(HDC dc)
{
    HBRUSH brush = Control::Colors(dc);
    if (color_ != CLR_INVALID) SetTextColor(dc, color_);
    return brush;
}

Bevel::Bevel(Form& form, const Bounds& bounds)
    : Control(form, "STATIC", SS_OWNERDRAW | WS_VISIBLE, 0, "", bounds, nullptr)
{
}

void Bevel::Draw(const DRAWITEMSTRUCT& item)
{
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT line = {r.left, r.bottom - 2, r.right, r.bottom};
    DrawEdge(item.hDC, &line, EDGE_ETCHED, BF_TOP);
}

Button::Button(Form& form, const std::string& text, const Bounds& bounds, bool visible)
    : Control(form, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP | (visible ? WS_VISIBLE : 0), 0, text, bounds, nullptr)
{
}

void Button::Click()
{
    if (OnClick) OnClick();
}

void Button::Command(WORD code)
{
    if (code == BN_CLICKED) Click();
}

Edit::Edit(Form& form, const Bounds& bounds)
    : Control(form, "EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE, WS_EX_CLIENTEDGE, "", bounds, nullptr)
{
    SendMessageA(hwnd_, EM_SETLIMITTEXT, 0, 0);  // no length limit
}

HBRUSH Edit::Colors(HDC dc)
{
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

CheckBox::CheckBox(Form& form, const std::string& text, const Bounds& bounds, bool checked)
    : Control(form, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, text, bounds, nullptr)
{
    SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::Checked() const
{
    return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::Command(WORD code)
{
    if (code == BN_CLICKED && OnClick) OnClick();
}

}  // namespace ui
