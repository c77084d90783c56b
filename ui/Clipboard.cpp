#include "ui/Clipboard.h"

#include <cstring>

namespace ui {

bool PutClipboardText(HWND owner, const std::string& text)
{
    ClipboardLock clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) return false;
    if (void* data = GlobalLock(memory)) {
        memcpy(data, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_TEXT, memory)) return true;  // the clipboard owns the memory now
    }
    GlobalFree(memory);
    return false;
}

}  // namespace ui
