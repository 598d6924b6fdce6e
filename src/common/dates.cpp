#include "common/dates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"

namespace kvor {

namespace {

// The calendar's range, as the old runtime's dates have it.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

struct Date {
  int year = 0, month = 0, day = 0;
};

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool IsValid(const Date& d) {
  return d.year >= kFirstYear && d.year <= kLastYear && d.month >= 1 && d.month <= 12 &&
         d.day >= 1 && d.day <= DaysInMonth(d.year, d.month);
}

// "YYYY-MM-DD" with digits in every place and a real calendar day.
bool ParseIso(std::string_view text, Date& date) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int parts[3] = {0, 0, 0};
  const int starts[3] = {0, 5, 8};
  const int widths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p) {
    for (int i = 0; i < widths[p]; ++i) {
      const char c = text[static_cast<std::size_t>(starts[p] + i)];
      if (c < '0' || c > '9') return false;
      parts[p] = parts[p] * 10 + (c - '0');
    }
  }
  date = {parts[0], parts[1], parts[2]};
  return IsValid(date);
}

// Days since 1970-01-01 and back, in the proleptic Gregorian calendar.
long long DaysFromCivil(const Date& d) {
  const long long y = d.month <= 2 ? d.year - 1 : d.year;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (d.month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + d.day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

// Adds n units to d; false when the result leaves the calendar's range.
bool Add(Date& d, long long n, int16_t unit) {
  // Far outside the range in any unit; keeps the arithmetic below from overflowing.
  if (n > 10'000'000 || n < -10'000'000) return false;
  Date out = d;
  if (unit == kDays) {
    out = CivilFromDays(DaysFromCivil(d) + n);
  } else {
    const long long months = d.year * 12LL + (d.month - 1) + (unit == kYears ? n * 12 : n);
    if (months < kFirstYear * 12LL || months > kLastYear * 12LL + 11) return false;
    out.year = static_cast<int>(months / 12);
    out.month = static_cast<int>(months % 12) + 1;
    out.day = std::min(d.day, DaysInMonth(out.year, out.month));
  }
  if (!IsValid(out)) return false;
  d = out;
  return true;
}

std::string TwoDigits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

void AddWholeUnits(Messenger& messenger, std::string& date, double count, int16_t unit,
                   int16_t& error) {
  const auto wrong = [&] {
    messenger.ShowMessage(Paragraphs("Modulen DIFFDATE för ADDERA får FELAKTIG parameter!"_w,
                                     "ItString: " + date, "Typkod:" + WithSignPlace(unit)),
                          3);
    error = 1;
  };
  if (unit < kYears || unit > kDays) return wrong();
  if (date.find(' ') != std::string::npos) return wrong();

  std::string iso;
  if (date.size() == 10) {
    if (date.find('-') == std::string::npos) return wrong();
    iso = date;
  } else if (date.size() == 8) {
    FormatIsoDate(messenger, date, iso);
  } else {
    return wrong();
  }

  // A date that the calendar lacks fails as a type mismatch, a result outside its range as an
  // invalid argument, as the old runtime's DateAdd did.
  Date d;
  const bool parsed = ParseIso(iso, d);
  const double n = std::floor(count);
  if (!parsed || !std::isfinite(n) || !Add(d, static_cast<long long>(n), unit)) {
    static constexpr const char* kInterval[] = {"YYYY", "M", "D"};
    messenger.ReportTrappedError(
        std::string("Modulen DIFFDATE med PARAMETER-kod [") + kInterval[unit - 1] +
            std::string("] via DATEADD kan EJ utföras!"_w),
        parsed ? TrappedError{"DIFFDATE", 5, "Invalid procedure call or argument"}
               : TrappedError{"DIFFDATE", 13, "Type mismatch"});
    error = 1;
    return;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
  date = buffer;
  error = 0;
}

}  // namespace

void AddToDate(Messenger& messenger, std::string& date, std::string_view count, int16_t unit,
               int16_t& error) {
  AddWholeUnits(messenger, date, NumericValue(count), unit, error);
}

void AddToDate(Messenger& messenger, std::string& date, int32_t count, int16_t unit,
               int16_t& error) {
  AddWholeUnits(messenger, date, count, unit, error);
}

void FormatIsoDate(Messenger& messenger, std::string_view date, std::string& result) {
  std::string digits;
  for (const char c : date)
    if (c != '-' && c != ' ') digits += c;
  if (digits.size() == 8) {
    result = digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
    return;
  }
  if (!digits.empty()) {
    messenger.ShowMessage(Paragraphs("Modulen AUTOLOAD för DATUM och TID får FELAKTIG parameter!"_w,
                                     "IdString: " + std::string(date)),
                          3);
  }
  result = std::string(10, ' ');
}

Timestamp MakeTimestamp(int year, int month, int day, int hour, int minute, int second) {
  Timestamp t;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d", year);
  t.year = buffer;
  t.month = TwoDigits(month);
  t.day = TwoDigits(day);
  t.hour = TwoDigits(hour);
  t.minute = TwoDigits(minute);
  const std::string seconds = TwoDigits(second);
  t.date = t.year + "-" + t.month + "-" + t.day;
  t.time = t.hour + ":" + t.minute + ":" + seconds;
  t.compact_date = t.year + t.month + t.day;
  t.compact_time = t.hour + t.minute + seconds;
  return t;
}

}  // namespace kvor
