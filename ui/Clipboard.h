// The clipboard, opened for as long as one owner lives.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class ClipboardLock {
public:
    explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    ~ClipboardLock()
    {
        if (open_) CloseClipboard();
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Replaces the clipboard's contents with the text as CF_TEXT. Returns false when the clipboard could not
// be had; the caller decides whether that matters.
bool PutClipboardText(HWND owner, const std::string& text);

}  // namespace ui
