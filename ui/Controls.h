// The few controls of the window, each a real child window of the form so that other programs
// (accessibility tools, a test driver) can read its text, place and visibility.
#pragma once

#include "ui/Font.h"

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

class Form;

struct Bounds {
    int left, top, width, height;  // design pixels, relative to the form's client area
};

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const { return hwnd_; }
    std::string Text() const;
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void SetVisible(bool visible);
    bool Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    // A control that loses the focus by being disabled hands it to the form, which keeps it.
    void SetEnabled(bool enabled);

    // Called by the form for the control's notifications and drawing.
    virtual void Command(WORD /*code*/) {}
    virtual HBRUSH Colors(HDC dc);
    virtual void Draw(const DRAWITEMSTRUCT&) {}

protected:
    Control(Form& form, const char* windowClass, DWORD style, DWORD exStyle, const std::string& text,
            const Bounds& bounds, HFONT font);
    void SetTextRaw(const std::string& text);

    Form& form_;
    HWND hwnd_ = nullptr;
};

class Label : public Control {
public:
    // A label sizes itself to its text; ownFont, when given, replaces the form's font.
    Label(Form& form, const std::string& text, int left, int top, const Font* ownFont = nullptr,
          COLORREF color = CLR_INVALID);
    void SetText(const std::string& text);
    HBRUSH Colors(HDC dc) override;

private:
    void AutoSize();
    HFONT font_;
    COLORREF color_;
};

// An etched line along the bottom edge of its rectangle.
class Bevel : public Control {
public:
    Bevel(Form& form, const Bounds& bounds);
    void Draw(const DRAWITEMSTRUCT& item) override;
};

class Button : public Control {
public:
    Button(Form& form, const std::string& text, const Bounds& bounds, bool visible = true);
    // Runs the click handler, as a click by the user would.
    void Click();
    void Command(WORD code) override;
    std::function<void()> OnClick;
};

class Edit : public Control {
public:
    Edit(Form& form, const Bounds& bounds);
    HBRUSH Colors(HDC dc) override;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, const std::string& text, const Bounds& bounds, bool checked);
    bool Checked() const;
    void Command(WORD code) override;
    std::function<void()> OnClick;
};

}  // namespace ui
