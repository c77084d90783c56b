#include "app/ReportText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
SYSTEMTIME At(int h, int m, int s, int ms = 0)
{
    SYSTEMTIME t = {};
    t.wYear = 2013;
    t.wMonth = 3;
    t.wDay = 22;
    t.wHour = static_cast<WORD>(h);
    t.wMinute = static_cast<WORD>(m);
    t.wSecond = static_cast<WORD>(s);
    t.wMilliseconds = static_cast<WORD>(ms);
    return t;
}
}  // namespace

TEST(DateTimeLine, FollowsTheRegionalTimeFormat)
{
    report::TimeFormat h24;
    report::TimeFormat h12;
    h12.twelveHour = true;
    h12.leadingZero = false;
    report::TimeFormat h12First = h12;
    h12First.designatorFirst = true;
    h12First.am = "AM";
    report::TimeFormat dots;
    dots.separator = ".";
    dots.leadingZero = false;

    const struct {
        report::TimeFormat format;
        SYSTEMTIME time;
        const char* line;
    } cases[] = {
        {h24, At(14, 5, 9), "22/03/2013 14:05:09"},
        {h24, At(9, 0, 0), "22/03/2013 09:00:00"},
        {dots, At(9, 3, 7), "22/03/2013 9.03.07"},
        {h12, At(14, 5, 9), "22/03/2013 2:05:09 PM"},
        {h12, At(0, 30, 0), "22/03/2013 12:30:00 AM"},
        {h12, At(12, 0, 1), "22/03/2013 12:00:01 PM"},
        {h12First, At(9, 3, 7), "22/03/2013 AM 9:03:07"},
        // Midnight to the second: the date alone; milliseconds do not count.
        {h24, At(0, 0, 0), "22/03/2013"},
        {h12, At(0, 0, 0, 999), "22/03/2013"},
        {h24, At(0, 0, 1), "22/03/2013 00:00:01"},
    };
    for (const auto& c : cases) EXPECT_EQ(report::FormatDateTimeLine("22/03/2013", c.time, c.format), c.line);
}

TEST(ReportText, FixedLines)
{
    EXPECT_STREQ(report::kTitleLine, "Tavro Diagnostics v1.61  22-3-13");
    EXPECT_EQ(std::strlen(report::kSeparator), 78u);
    EXPECT_EQ(std::string(report::kSeparator).find_first_not_of('-'), std::string::npos);
}
