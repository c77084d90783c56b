// The read-only, multi-line text pane that holds the report buffer.
//
// A text view of our own rather than an edit control: Wine's edit control pays 10 to 25 ms for every
// appended line (EM_REPLACESEL), growing with the text, which turns a report of a few thousand lines into
// minutes. The pane keeps the text and the start of every line, and paints only the lines in view, so
// appending costs the same at line 10 and at line 100,000. It shows the newest line, scrolls vertically,
// lets the user select with the mouse or the keyboard and copy, and answers WM_GETTEXT, EM_GETSEL,
// EM_SETSEL and WM_COPY like an edit control, for accessibility tools and other programs.
#pragma once

#include "ui/Controls.h"

#include <string>
#include <vector>

namespace ui {

class ReportPane : public Control {
public:
    ReportPane(Form& form, const Bounds& bounds);
    ~ReportPane() override;

    void Clear();
    // Appends one line; inside an update bracket it shows when the last bracket closes, outside one at
    // the pane's next redraw (which, while such lines pour in, comes at most every 50 ms).
    void AddLine(const std::string& line);
    // Counted: the pane does not redraw while a bracket is open and redraws at once when the last closes.
    void BeginUpdate();
    void EndUpdate();
    void SelectAll();
    // Places the selected text on the clipboard as CF_TEXT. Reports nothing back.
    void CopyToClipboard();

    // Every line followed by CR LF, as the clipboard receives it.
    const std::string& Text() const { return text_; }
    size_t LineCount() const { return lineStarts_.size(); }
    int UpdateCount() const { return updateCount_; }

private:
    static const char* WindowClass();
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    void Paint();
    // Scroll range and position after lines were added, cleared or the pane resized; follows the end.
    void UpdateLayout(bool followEnd);
    void SetScrollBar(long maxLine, int page);
    // Gives the scroll bar what it was last given, drawing it when asked.
    void ApplyScrollBar(bool draw);
    void ScrollTo(long topLine);
    int VisibleLines() const;
    size_t LineEnd(size_t line) const;  // offset of the line's CR
    size_t HitTest(int x, int y) const;
    void Select(size_t anchor, size_t active);
    void PlaceCaret();
    void ShowContextMenu(int x, int y);
    void RedrawForAddedLines();

    std::string text_;
    std::vector<size_t> lineStarts_;
    int updateCount_ = 0;
    bool linesAdded_ = false;       // since the layout was last brought up to date
    bool repaintPending_ = false;
    bool needsFullPaint_ = false;   // something asked for a redraw while a bracket was open
    long topLine_ = 0;
    long scrollMax_ = -1, scrollPos_ = -1;  // what the scroll bar was last given
    int scrollPage_ = -1;
    DWORD scrollDrawn_ = 0;
    bool scrollTimer_ = false;      // the scroll bar waits for its timer to be drawn
    DWORD directRedrawn_ = 0;       // when lines added outside a bracket last asked for a redraw
    bool redrawTimer_ = false;      // a redraw for such lines waits for its timer
    size_t anchor_ = 0, active_ = 0;  // selection: where it began, where it ends now
    HFONT font_ = nullptr;
    int lineHeight_ = 13;
    bool focused_ = false;
};

}  // namespace ui
