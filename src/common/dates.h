// Dates. Registers store a date as 8 characters YYYYMMDD; it is written as YYYY-MM-DD.
// Module DIFFDATE adds to a stored date; the timestamp holds the moment of a report or a file in
// the forms that messages and file names need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/messenger.h"

namespace kvor {

// Unit codes of AddToDate.
inline constexpr int16_t kYears = 1;
inline constexpr int16_t kMonths = 2;
inline constexpr int16_t kDays = 3;

// Adds count years, months or days (unit 1, 2 or 3) to a date given as YYYYMMDD or YYYY-MM-DD
// and leaves the result as YYYYMMDD. Adding years or months to a day that the target month lacks
// gives that month's last day. The count is the whole part of its numeric value. A wrong unit or
// date form, or a date that the calendar lacks, is reported; the date is then left as it was and
// the error indicator is 1.
void AddToDate(Messenger& messenger, std::string& date, std::string_view count, int16_t unit,
               int16_t& error);
void AddToDate(Messenger& messenger, std::string& date, int32_t count, int16_t unit,
               int16_t& error);

// "YYYY-MM-DD" of a stored date; "-" and blanks in it are ignored. An empty date gives ten
// blanks; a date of any other length than 8 is reported and also gives ten blanks.
void FormatIsoDate(Messenger& messenger, std::string_view date, std::string& result);

// One moment in the forms that messages and file names use.
struct Timestamp {
  std::string date;          // YYYY-MM-DD
  std::string time;          // HH:MM:SS
  std::string compact_date;  // YYYYMMDD
  std::string compact_time;  // HHMMSS
  std::string year;          // YYYY
  std::string month;         // MM
  std::string day;           // DD
  std::string hour;          // HH
  std::string minute;        // MM
};

// Fills every field from a date and a time of day that the caller has read from the clock.
Timestamp MakeTimestamp(int year, int month, int day, int hour, int minute, int second);

}  // namespace kvor
