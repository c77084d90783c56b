// A top-level window laid out in design pixels (96 per inch) and scaled to the display, with the child
// controls that it owns.
#pragma once

#include "ui/Font.h"

#include <windows.h>

#include <string>

namespace ui {

class Control;

struct FormSettings {
    std::string caption;
    int left, top;                 // outer edges on the screen
    int clientWidth, clientHeight;
    std::string fontFace;
    int fontHeight;                // negative: character height in pixels
    int designTextHeight;          // text height of the font at 96 pixels per inch
};

class Form {
public:
    explicit Form(const FormSettings& settings);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    HWND Handle() const { return hwnd_; }
    HFONT FontHandle() const { return font_.Handle(); }
    const std::string& FontFace() const { return face_; }
    void Show();

    // Design pixels to screen pixels, by the scaling rule of the form.
    int Scale(int designPixels) const { return MulDiv(designPixels, scaleNum_, scaleDen_); }
    int NextControlId() { return nextId_++; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    std::string face_;
    Font font_;
    int scaleNum_ = 1, scaleDen_ = 1;
    int nextId_ = 100;
    HWND lastFocus_ = nullptr;     // restored when the form is activated again
};

}  // namespace ui
