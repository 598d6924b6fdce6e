// The wall clock, with a fixed date for tests (the time of day stays the real one).
#pragma once

#include <ctime>
#include <optional>

namespace kvor::sys {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  // fixed_date: year, month and day to report instead of today's.
  explicit Clock(std::optional<LocalTime> fixed_date = std::nullopt) : fixed_(fixed_date) {}
  LocalTime Now() const;
  // The same moment as seconds since the epoch, for what is stamped with a std::time_t.
  std::time_t Seconds() const;

 private:
  std::optional<LocalTime> fixed_;
};

// Parses "YYYY-MM-DD" into a date; nullopt when it is not a real date.
std::optional<LocalTime> ParseIsoDate(const char* text);

}  // namespace kvor::sys
