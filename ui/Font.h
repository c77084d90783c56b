// Owner of one GDI font.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Font {
public:
    Font() = default;
    Font(const std::string& face, int height, bool bold);
    Font(Font&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Font& operator=(Font&& other) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    HFONT Handle() const { return handle_; }
    // Height in pixels of a line of text in this font ("0" measured on the screen).
    int TextHeight() const;

private:
    HFONT handle_ = nullptr;
};

// The face itself when the system has it, else the stand-in that the dialog font maps to.
std::string AvailableFace(const std::string& face);

}  // namespace ui
