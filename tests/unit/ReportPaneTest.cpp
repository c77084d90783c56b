#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ReportPane.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Pixels of this line's row that are not the window colour: what the user sees of it.
int Ink(HWND pane, int line, int lineHeight = 13)
{
    HDC dc = GetDC(pane);
    RECT r;
    GetClientRect(pane, &r);
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    int ink = 0;
    for (int y = 2 + line * lineHeight; y < 2 + (line + 1) * lineHeight; ++y)
        for (int x = 0; x < r.right; ++x)
            if (GetPixel(dc, x, y) != back) ++ink;
    ReleaseDC(pane, dc);
    return ink;
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void Pump()
{
    ui::TheApplication.ProcessMessages();
}

class ReportPaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!ui::TheApplication.Handle()) ui::TheApplication.Initialize(GetModuleHandleA(nullptr));
    }
    void SetUp() override
    {
        form = std::make_unique<ui::Form>(ui::FormSettings{"pane test", 0, 0, 300, 300, "MS Sans Serif", -11, 13});
        pane = std::make_unique<ui::ReportPane>(*form, ui::Bounds{0, 0, 300, 300});
        form->Show();
        SetFocus(form->Handle());  // no caret in the rows the tests look at
        Pump();
    }
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<ui::ReportPane> pane;
};

}  // namespace

TEST_F(ReportPaneTest, BracketsNestAndClosingTheLastOneDrawsAtOnce)
{
    pane->BeginUpdate();
    pane->BeginUpdate();
    pane->AddLine("one");
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 1);
    Pump();
    EXPECT_EQ(Ink(pane->Handle(), 0), 0) << "drawn while a bracket is open";
    pane->AddLine("two");
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 0);
    // No message processing in between: closing the bracket drew both lines.
    EXPECT_GT(Ink(pane->Handle(), 0), 0);
    EXPECT_GT(Ink(pane->Handle(), 1), 0);
    EXPECT_EQ(pane->Text(), "one\r\ntwo\r\n");
    EXPECT_EQ(pane->LineCount(), 2u);
    // An unmatched end changes nothing.
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 0);
}

TEST_F(ReportPaneTest, LinesAddedDirectlyShowAtTheNextRedraw)
{
    pane->AddLine("found file");
    EXPECT_EQ(Ink(pane->Handle(), 0), 0);
    Pump();
    EXPECT_GT(Ink(pane->Handle(), 0), 0);
}

TEST_F(ReportPaneTest, KeepsTheNewestLineInView)
{
    for (int i = 0; i < 200; ++i) {
        pane->BeginUpdate();
        pane->AddLine(i % 2 ? "odd line" : "");
        pane->EndUpdate();
    }
    RECT r;
    GetClientRect(pane->Handle(), &r);
    const int visible = (r.bottom - 2) / 13;
    SCROLLINFO si = {sizeof(si), SIF_ALL};
    GetScrollInfo(pane->Handle(), SB_VERT, &si);
    EXPECT_EQ(si.nPos, 200 - visible);
    EXPECT_EQ(si.nMax, 199);
    EXPECT_GT(Ink(pane->Handle(), visible - 1), 0);  // line 199 ("odd line") at the bottom
    EXPECT_EQ(Ink(pane->Handle(), visible - 2), 0);  // line 198 is empty
}

TEST_F(ReportPaneTest, KeepsEmptyAndBlankLinesAndClearsWhole)
{
    pane->AddLine("");
    pane->AddLine(" ");
    EXPECT_EQ(pane->Text(), "\r\n \r\n");
    EXPECT_EQ(pane->LineCount(), 2u);
    pane->Clear();
    EXPECT_EQ(pane->LineCount(), 0u);
    EXPECT_EQ(pane->Text(), "");
    EXPECT_EQ(GetWindowTextLengthA(pane->Handle()), 0);
}

TEST_F(ReportPaneTest, HasNoLengthLimitAndCopiesEverything)
{
    const std::string line(99, 'x');
    std::string expected;
    pane->BeginUpdate();
    for (int i = 0; i < 50000; ++i) {
        pane->AddLine(line + std::to_string(i % 10));
        expected += line + std::to_string(i % 10) + "\r\n";
    }
    pane->EndUpdate();
    pane->SelectAll();
    pane->CopyToClipboard();
    EXPECT_EQ(ClipboardText(), expected);
    // Other programs read the same text, as from an edit control.
    std::string read(expected.size() + 1, '\0');
    EXPECT_EQ(GetWindowTextA(pane->Handle(), &read[0], static_cast<int>(read.size())), static_cast<int>(expected.size()));
    read.resize(expected.size());
    EXPECT_EQ(read, expected);
    DWORD from = 1, to = 0;
    SendMessageA(pane->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, expected.size());
}

TEST_F(ReportPaneTest, CopiesOnlyWhatIsSelected)
{
    pane->AddLine("alpha");
    pane->AddLine("beta");
    SendMessageA(pane->Handle(), EM_SETSEL, 2, 9);
    SendMessageA(pane->Handle(), WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(), "pha\r\nbe");
}
