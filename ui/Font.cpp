#include "ui/Font.h"

#include <cstring>

namespace ui {

Font::Font(const std::string& face, int height, bool bold)
{
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    handle_ = CreateFontIndirectA(&lf);
}

Font& Font::operator=(Font&& other) noexcept
{
    if (this != &other) {
        if (handle_) DeleteObject(handle_);
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

Font::~Font()
{
    if (handle_) DeleteObject(handle_);
}

int Font::TextHeight() const
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle_);
    SIZE size = {};
    GetTextExtentPoint32A(dc, "0", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cy;
}

namespace {
int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}
}  // namespace

std::string AvailableFace(const std::string& face)
{
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found ? face : "MS Shell Dlg";
}

}  // namespace ui
