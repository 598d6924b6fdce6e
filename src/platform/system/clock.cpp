#include "platform/system/clock.h"

#include <cstdio>
#include <ctime>

namespace kvor::sys {

LocalTime Clock::Now() const {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  LocalTime now{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  if (fixed_) {
    now.year = fixed_->year;
    now.month = fixed_->month;
    now.day = fixed_->day;
  }
  return now;
}

std::time_t Clock::Seconds() const {
  const LocalTime now = Now();
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day;
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::optional<LocalTime> ParseIsoDate(const char* text) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (std::sscanf(text, "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] + (m == 2 && leap)) return std::nullopt;
  return LocalTime{y, m, d, 0, 0, 0};
}

}  // namespace kvor::sys
