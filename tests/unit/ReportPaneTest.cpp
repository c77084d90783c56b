#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/ReportPane.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// What the edit control itself holds, bypassing the pane's own bookkeeping.
std::string ControlText(HWND edit)
{
    std::string text(CallWindowProcA(reinterpret_cast<WNDPROC>(GetClassLongPtrA(edit, GCLP_WNDPROC)), edit,
                                     WM_GETTEXTLENGTH, 0, 0) + 1, '\0');
    const LRESULT n = CallWindowProcA(reinterpret_cast<WNDPROC>(GetClassLongPtrA(edit, GCLP_WNDPROC)), edit,
                                      WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n);
    return text;
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
    }
    std::unique_ptr<ui::Form> form;
    std::unique_ptr<ui::ReportPane> pane;
};

}  // namespace

TEST_F(ReportPaneTest, BracketsNestAndTheLastOneShowsTheLines)
{
    pane->BeginUpdate();
    pane->BeginUpdate();
    pane->AddLine("one");
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 1);
    EXPECT_EQ(ControlText(pane->Handle()), "");
    pane->AddLine("two");
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 0);
    EXPECT_EQ(ControlText(pane->Handle()), "one\r\ntwo\r\n");
    EXPECT_EQ(pane->LineCount(), 2u);
    // An unmatched end changes nothing.
    pane->EndUpdate();
    EXPECT_EQ(pane->UpdateCount(), 0);
}

TEST_F(ReportPaneTest, KeepsEmptyAndBlankLinesAndClearsWhole)
{
    pane->AddLine("");
    pane->AddLine(" ");
    pane->BeginUpdate();
    pane->EndUpdate();
    EXPECT_EQ(ControlText(pane->Handle()), "\r\n \r\n");
    pane->Clear();
    EXPECT_EQ(pane->LineCount(), 0u);
    EXPECT_EQ(pane->Text(), "");
    EXPECT_EQ(ControlText(pane->Handle()), "");
}

TEST_F(ReportPaneTest, HasNoLengthLimitAndCopiesEverything)
{
    const std::string line(99, 'x');
    std::string expected;
    pane->BeginUpdate();
    for (int i = 0; i < 5000; ++i) {
        pane->AddLine(line + std::to_string(i % 10));
        expected += line + std::to_string(i % 10) + "\r\n";
    }
    pane->EndUpdate();
    EXPECT_EQ(ControlText(pane->Handle()).size(), expected.size());
    pane->SelectAll();
    pane->CopyToClipboard();
    EXPECT_EQ(ClipboardText(), expected);
}

TEST_F(ReportPaneTest, AnotherReaderSeesDirectlyAddedLines)
{
    pane->AddLine("found file");
    char buffer[64] = {};
    GetWindowTextA(pane->Handle(), buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "found file\r\n");
}
