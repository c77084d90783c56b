// Speed of a report run under Wine, each measurement against its limit, side by side in one run.
//
//   tavro_bench.exe ROUNDS SMALL_ROOT LARGE_ROOT PROGRAM
//
// SMALL_ROOT and LARGE_ROOT are "c:\windows"-like trees (bench/make-trees.sh); PROGRAM is Project1.exe,
// driven from this process for a whole report run on this prefix's own c:\windows. Every measurement runs
// ROUNDS times, the two sides alternating which goes first; the table holds the medians.
#include "app/ReportText.h"
#include "app/Unit1.h"
#include "ui/Application.h"
#include "window/Driver.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The limit of the data source section: the find calls FileSearch makes, with the same level, fetch size
// and attribute filter, the names gathered in memory; no message processing, no pane.
// With queueCheck, one GetQueueStatus per folder entry as well: one wineserver round trip, the least that
// taking the window's messages once per entry can cost under Wine.
void BareWalk(const std::string& folder, const std::string& mask, std::vector<std::string>& lines, bool queueCheck)
{
    const std::string base = !folder.empty() && folder.back() == '\\' ? folder : folder + '\\';
    const DWORD skipFiles = FILE_ATTRIBUTE_DIRECTORY;                             // hidden and system pass
    const DWORD skipFolders = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8;  // directories pass
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileExA((base + mask).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & skipFiles)) lines.push_back(base + data.cFileName);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    h = FindFirstFileExA((base + "*.*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        if (queueCheck) GetQueueStatus(QS_ALLINPUT | QS_ALLPOSTMESSAGE);
        const DWORD a = data.dwFileAttributes;
        if ((a & skipFolders) || !(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (strcmp(data.cFileName, ".") && strcmp(data.cFileName, "..")) BareWalk(base + data.cFileName, mask, lines, queueCheck);
    } while (FindNextFileA(h, &data));
    FindClose(h);
}

std::vector<std::string> BareSection(const std::string& root, bool queueCheck = false)
{
    std::vector<std::string> lines = {"Installed Data Sources:"};
    BareWalk(root + "\\twain_32", "*.ds", lines, queueCheck);
    lines.push_back(report::kSeparator);
    BareWalk(root, "*Twain*.*", lines, queueCheck);
    lines.push_back(report::kSeparator);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The data source section exactly as the report run writes it, closed by the separator after it.
void Section(TForm1& form, const std::string& root)
{
    form.aln("Installed Data Sources:");
    form.FileSearch(root + "\\twain_32", "*.ds", true);
    form.aln(report::kSeparator);
    form.FileSearch(root, "*Twain*.*", true);
    form.aln(report::kSeparator);
}

struct Row {
    std::string name, ours, limit;
    std::vector<double> a, b;  // ours, reference
    std::vector<double> floor;  // the bare walk with one queue check per entry
    std::string goal;          // "<= 1.25", ">= 10" (limit / ours)
    double goalValue;
    bool higherIsBetter;
    std::string check;
};

// Runs both sides ROUNDS times, alternating which goes first.
void SideBySide(int rounds, Row& row, const std::function<double()>& ours, const std::function<double()>& limit,
                const std::function<double()>& floor = nullptr)
{
    for (int i = 0; i < rounds; ++i) {
        if (floor) row.floor.push_back(floor());
        if (i % 2 == 0) {
            row.a.push_back(ours());
            row.b.push_back(limit());
        } else {
            row.b.push_back(limit());
            row.a.push_back(ours());
        }
        std::fprintf(stderr, "  %s round %d: %.0f ms / %.0f ms\n", row.name.c_str(), i + 1, row.a.back(), row.b.back());
    }
}

// The ratio of a row is the median of its rounds' ratios: the two sides of one round ran back to back, so
// a change in the machine's load between rounds does not enter it.
double RatioOf(const std::vector<double>& a, const std::vector<double>& b, bool inverse)
{
    std::vector<double> r;
    for (size_t i = 0; i < a.size(); ++i) r.push_back(inverse ? b[i] / a[i] : a[i] / b[i]);
    return Median(r);
}

void PrintTable(const std::vector<Row>& rows, int rounds)
{
    const std::string title = "measurement (" + std::to_string(rounds) + " rounds)";
    std::printf("\n%-44s %9s %9s %7s %9s %7s %s\n", title.c_str(), "ours ms", "ref. ms", "ratio", "floor", "goal", "met");
    for (const Row& r : rows) {
        const double ratio = RatioOf(r.a, r.b, r.higherIsBetter);
        const bool met = r.higherIsBetter ? ratio >= r.goalValue : ratio <= r.goalValue;
        const std::string floor = r.floor.empty() ? "-" : std::to_string(RatioOf(r.floor, r.b, false)).substr(0, 4);
        std::printf("%-44s %9.1f %9.1f %7.2f %9s %7s %s\n", r.name.c_str(), Median(r.a), Median(r.b), ratio,
                    floor.c_str(), r.goal.c_str(), met ? "yes" : "NO");
    }
    std::printf("\nms: medians; ratio: median of the rounds' ours / ref. (ref. / ours for the pane)\n");
    for (const Row& r : rows) std::printf("%s: ours = %s; ref. = %s\n", r.name.c_str(), r.ours.c_str(), r.limit.c_str());
    std::printf("floor: the bare walk with one GetQueueStatus per entry (one wineserver round trip, the least that\n"
                "       taking the window's messages once per entry costs), against the bare walk\n");
    for (const Row& r : rows)
        if (!r.check.empty()) std::printf("check, %s: %s\n", r.name.c_str(), r.check.c_str());
}

int CountEntries(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!strcmp(data.cFileName, ".") || !strcmp(data.cFileName, "..")) continue;
        ++n;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += CountEntries(folder + "\\" + data.cFileName);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return n;
}

Row SectionRow(int rounds, TForm1& form, const std::string& name, const std::string& root)
{
    Row row{name, "aln + FileSearch on a TForm1 with its pane", "bare FindFirstFileExA walk, same calls"};
    row.goalValue = name.find("20,000") != std::string::npos ? 2.0 : 1.25;
    row.goal = row.goalValue == 2.0 ? "<= 2" : "<= 1.25";
    row.higherIsBetter = false;
    const std::string expected = Joined(BareSection(root));
    std::string got;
    auto ours = [&] {
        form.Memo1->Clear();
        ui::TheApplication.ProcessMessages();
        const double t = Now();
        Section(form, root);
        const double ms = Now() - t;
        got = form.Memo1->Text();
        ui::TheApplication.ProcessMessages();
        return ms;
    };
    auto limit = [&] {
        const double t = Now();
        const std::vector<std::string> lines = BareSection(root);
        const double ms = Now() - t;
        if (lines.empty()) std::abort();
        return ms;
    };
    ours();  // warm-up of both, not counted
    limit();
    SideBySide(rounds, row, ours, limit, [&] {
        const double t = Now();
        BareSection(root, true);
        return Now() - t;
    });
    const size_t lines = std::count(expected.begin(), expected.end(), '\n');
    row.check = std::to_string(CountEntries(root)) + " entries, " + std::to_string(lines) + " section lines; pane text " +
                (got == expected ? "identical to the bare walk's lines" : "DIFFERS from the bare walk's lines");
    return row;
}

std::string PaneLine(int i)
{
    static const char* const parts[] = {"c:\\windows\\twain_32\\", "Source name: ", "Version: 4.1 ", "    "};
    return parts[i % 4] + std::string("line ") + std::to_string(i) + std::string(i % 7 * 5, 'x');
}

Row PaneRow(int rounds, TForm1& form)
{
    const int kLines = 2000;
    Row row{"3 pane, 2,000 aln lines", "BeginUpdate/AddLine/EndUpdate per line (aln)",
            "EM_SETSEL + EM_REPLACESEL + UpdateWindow per line into an EDIT"};
    row.goal = ">= 10";
    row.goalValue = 10;
    row.higherIsBetter = true;

    // The edit control, the pane's size, beside the form so that neither covers the other.
    ui::Form editForm({"bench edit", 620, 0, 513, 631, "MS Sans Serif", -11, 13});
    const RECT pane = [&] {
        RECT r;
        GetWindowRect(form.Memo1->Handle(), &r);
        MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }();
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL,
                                pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top, editForm.Handle(),
                                nullptr, ui::TheApplication.Instance(), nullptr);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(form.FontHandle()), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    editForm.Show();
    ui::TheApplication.ProcessMessages();

    std::string ourText, editText;
    auto ours = [&] {
        form.Memo1->Clear();
        ui::TheApplication.ProcessMessages();
        const double t = Now();
        for (int i = 0; i < kLines; ++i) form.aln(PaneLine(i));
        ui::TheApplication.ProcessMessages();
        const double ms = Now() - t;
        ourText = form.Memo1->Text();
        return ms;
    };
    auto plain = [&] {
        SetWindowTextA(edit, "");
        ui::TheApplication.ProcessMessages();
        const double t = Now();
        for (int i = 0; i < kLines; ++i) {
            const std::string line = PaneLine(i) + "\r\n";
            const int end = GetWindowTextLengthA(edit);
            SendMessageA(edit, EM_SETSEL, end, end);
            SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
            UpdateWindow(edit);
        }
        ui::TheApplication.ProcessMessages();
        const double ms = Now() - t;
        editText.assign(GetWindowTextLengthA(edit) + 1, '\0');
        editText.resize(GetWindowTextA(edit, &editText[0], static_cast<int>(editText.size())));
        return ms;
    };
    SideBySide(rounds, row, ours, plain);
    row.check = "pane text " + std::string(ourText == editText ? "identical to" : "DIFFERS from") +
                " the edit control's (" + std::to_string(ourText.size()) + " bytes, " + std::to_string(kLines) + " lines)";
    return row;
}

// Polls the finished state without sending the program messages while it runs.
bool Finished(const driver::Program& program)
{
    static const std::string copied = "The report has been copied to the clipboard. You can now";
    return IsWindowVisible(program.Label2()) && IsWindowEnabled(program.RunButton()) &&
           driver::Text(program.Label1()) == copied;
}

Row RunRow(int rounds, const std::string& exe)
{
    Row row{"4 whole report run, this prefix's c:\\windows", "Project1.exe, click to finished state",
            "bare walk of c:\\windows\\twain_32 and c:\\windows"};
    row.goal = "<= 3";
    row.goalValue = 3;
    row.higherIsBetter = false;
    driver::Program program(driver::WinePath(exe));
    program.Type(program.MakeBox(), "Bench Make");
    program.Type(program.ModelBox(), "Bench Model");
    size_t reportLines = 0;
    auto ours = [&] {
        const double t = Now();
        program.Click(program.RunButton());
        // The click is posted: wait until the run has begun, then until it has finished.
        while (IsWindowEnabled(program.RunButton()) && Now() - t < 10000) Sleep(1);
        while (!Finished(program)) {
            if (Now() - t > 600000) throw std::runtime_error("the report run did not finish");
            Sleep(2);
        }
        const double ms = Now() - t;
        reportLines = driver::Lines(driver::ClipboardText()).size();
        return ms;
    };
    auto limit = [&] {
        const double t = Now();
        const std::vector<std::string> lines = BareSection("c:\\windows");
        const double ms = Now() - t;
        if (lines.empty()) std::abort();
        return ms;
    };
    ours();
    limit();
    SideBySide(rounds, row, ours, limit);
    // What the rest of the run costs: the same run with the TWAIN section unticked, for the notes only.
    program.Click(program.CheckBox());
    std::vector<double> untick;
    for (int i = 0; i < rounds; ++i) untick.push_back(ours());
    program.Click(program.CheckBox());
    program.Close();
    program.WaitExit(20000);
    row.check = std::to_string(CountEntries("c:\\windows")) + " entries in c:\\windows, " +
                std::to_string(reportLines) + " report lines; with the TWAIN section unticked the run takes " + std::to_string(static_cast<int>(Median(untick))) +
                " ms";
    return row;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: tavro_bench ROUNDS SMALL_ROOT LARGE_ROOT PROGRAM [ONLY]\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    const std::string only = argc > 5 ? argv[5] : "1234";
    try {
        ui::TheApplication.Initialize(GetModuleHandleA(nullptr));
        TForm1 form;
        SetWindowPos(form.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        form.Show();
        ui::TheApplication.ProcessMessages();

        std::vector<Row> rows;
        if (only.find('1') != std::string::npos)
            rows.push_back(SectionRow(rounds, form, "1 data source section, few matches", argv[2]));
        if (only.find('2') != std::string::npos)
            rows.push_back(SectionRow(rounds, form, "2 data source section, 20,000 more matches", argv[3]));
        if (only.find('3') != std::string::npos) rows.push_back(PaneRow(rounds, form));
        if (only.find('4') != std::string::npos) rows.push_back(RunRow(rounds, argv[4]));
        PrintTable(rows, rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavro_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
