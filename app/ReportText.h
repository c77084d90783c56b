// The report run's own lines: title, date and time, separator.
#pragma once

#include <windows.h>

#include <string>

namespace report {

extern const char kTitleLine[];
extern const char kSeparator[];  // 78 hyphen-minus characters

// How the user's regional settings write a time of day.
struct TimeFormat {
    std::string separator = ":";
    bool leadingZero = true;       // hours below 10 get a 0
    bool twelveHour = false;
    bool designatorFirst = false;  // AM/PM before the time
    std::string am = "AM", pm = "PM";
};

TimeFormat UserTimeFormat();
std::string UserShortDate(const SYSTEMTIME& time);

// The long time: hours (leading zero as the settings say, 1 to 12 on a 12-hour clock), two-digit minutes
// and seconds, the designator set off by one blank.
std::string FormatLongTime(const SYSTEMTIME& time, const TimeFormat& format);
// The date, then one blank and the long time; at midnight to the second the date alone.
std::string FormatDateTimeLine(const std::string& date, const SYSTEMTIME& time, const TimeFormat& format);
std::string LocalDateTimeText();

}  // namespace report
