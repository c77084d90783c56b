// The read-only, multi-line text pane that holds the report buffer.
//
// The pane keeps the whole text itself and hands the edit control only what it has not yet shown, in one
// edit call per redraw rather than one per line: Wine's edit control pays 10 to 25 ms for every
// EM_REPLACESEL. A line appended inside an update bracket, or directly, shows at the next redraw; closing
// the last bracket redraws at once, so a line written with its own bracket appears immediately.
#pragma once

#include "ui/Controls.h"

#include <string>

namespace ui {

class ReportPane : public Control {
public:
    ReportPane(Form& form, const Bounds& bounds);
    ~ReportPane() override;

    void Clear();
    void AddLine(const std::string& line);
    void BeginUpdate();
    void EndUpdate();
    void SelectAll();
    // Places the selected text on the clipboard as CF_TEXT. Reports nothing back.
    void CopyToClipboard();

    // Every line followed by CR LF, as the clipboard receives it.
    const std::string& Text() const { return text_; }
    size_t LineCount() const { return lines_; }
    int UpdateCount() const { return updateCount_; }

    HBRUSH Colors(HDC dc) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    // Hands the edit control the text that it does not show yet.
    void Flush();

    std::string text_;
    size_t shown_ = 0;       // bytes of text_ that the edit control holds
    size_t lines_ = 0;
    int updateCount_ = 0;
    bool redrawPending_ = false;
    WNDPROC editProc_ = nullptr;
};

}  // namespace ui
