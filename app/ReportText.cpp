#include "app/ReportText.h"

#include <vector>

namespace report {

const char kTitleLine[] = "Tavro Diagnostics v1.61  22-3-13";
const char kSeparator[] = "------------------------------------------------------------------------------";
static_assert(sizeof(kSeparator) == 79, "a separator line is 78 characters");

namespace {
std::string LocaleText(LCTYPE type, const char* fallback)
{
    char buffer[80] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof(buffer)) ? buffer : fallback;
}

std::string TwoDigits(unsigned value)
{
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}
}  // namespace

TimeFormat UserTimeFormat()
{
    TimeFormat f;
    f.separator = LocaleText(LOCALE_STIME, ":");
    f.leadingZero = LocaleText(LOCALE_ITLZERO, "0") == "1";
    f.twelveHour = LocaleText(LOCALE_ITIME, "1") == "0";
    f.designatorFirst = LocaleText(LOCALE_ITIMEMARKPOSN, "0") == "1";
    f.am = LocaleText(LOCALE_S1159, "AM");
    f.pm = LocaleText(LOCALE_S2359, "PM");
    return f;
}

std::string UserShortDate(const SYSTEMTIME& time)
{
    char buffer[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, sizeof(buffer));
    return buffer;
}

std::string FormatLongTime(const SYSTEMTIME& t, const TimeFormat& f)
{
    unsigned hour = t.wHour;
    if (f.twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
    std::string text = (f.leadingZero || hour >= 10 ? TwoDigits(hour) : std::to_string(hour)) + f.separator +
                       TwoDigits(t.wMinute) + f.separator + TwoDigits(t.wSecond);
    if (f.twelveHour) {
        const std::string& designator = t.wHour < 12 ? f.am : f.pm;
        if (!designator.empty()) text = f.designatorFirst ? designator + " " + text : text + " " + designator;
    }
    return text;
}

std::string FormatDateTimeLine(const std::string& date, const SYSTEMTIME& t, const TimeFormat& f)
{
    if (t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0) return date;
    return date + " " + FormatLongTime(t, f);
}

std::string LocalDateTimeText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatDateTimeLine(UserShortDate(now), now, UserTimeFormat());
}

}  // namespace report
