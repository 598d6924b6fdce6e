#include "common/dates.h"

#include <gtest/gtest.h>

#include "common/told.h"

namespace kvor::test {
namespace {

// The date after adding, or "refused" when the error indicator came back 1.
template <typename Count>
std::string Added(RecordingMessenger& m, std::string date, Count count, int16_t unit) {
  int16_t error = 7;
  const std::string before = date;
  AddToDate(m, date, count, unit, error);
  if (error == 1) {
    EXPECT_EQ(date, before) << "a refused date is left as it was";
    return "refused";
  }
  EXPECT_EQ(error, 0);
  return date;
}

std::string Iso(RecordingMessenger& m, std::string_view date) {
  std::string result = "unset";
  FormatIsoDate(m, date, result);
  return result;
}

TEST(AddToDate, AddsDaysMonthsAndYearsStoppingAtTheMonthsLastDayOrRefuses) {
  RecordingMessenger m;
  EXPECT_EQ(Added(m, "2024-12-15", "30", kDays), "20250114");
  EXPECT_EQ(Added(m, "20250101", -1, kDays), "20241231");
  // Years and months stop at the month's last day; 2100 is no leap year, 2024 is.
  EXPECT_EQ(Added(m, "20000229", 100, kYears), "21000228");
  EXPECT_EQ(Added(m, "20240131", 1, kMonths), "20240229");
  EXPECT_EQ(Added(m, "20240115", -13, kMonths), "20221215");
  // The count is the whole part of its numeric value.
  EXPECT_EQ(Added(m, "20241215", "-1.5", kDays), "20241213");
  EXPECT_EQ(Told(m), "");

  // A wrong date form or unit, then dates the calendar cannot take, the last one beyond its last
  // day.
  EXPECT_EQ(Added(m, "2024 12 15", 1, kDays), "refused");
  EXPECT_EQ(Added(m, "20241215", 1, 4), "refused");
  EXPECT_EQ(Added(m, "20241340", 1, kDays), "refused");
  EXPECT_EQ(Added(m, "2024-02-30", 1, kMonths), "refused");
  EXPECT_EQ(Added(m, "99991231", 1, kDays), "refused");
  EXPECT_EQ(
      Told(m),
      R"(message 3 Modulen DIFFDATE för ADDERA får FELAKTIG parameter! ¶ ItString: 2024 12 15 ¶ Typkod: 3
message 3 Modulen DIFFDATE för ADDERA får FELAKTIG parameter! ¶ ItString: 20241215 ¶ Typkod: 4
trapped Modulen DIFFDATE med PARAMETER-kod [D] via DATEADD kan EJ utföras!
trapped Modulen DIFFDATE med PARAMETER-kod [M] via DATEADD kan EJ utföras!
trapped Modulen DIFFDATE med PARAMETER-kod [D] via DATEADD kan EJ utföras!
)");
}

TEST(FormatIsoDate, WritesEightDigitsWithHyphens) {
  RecordingMessenger m;
  EXPECT_EQ(Iso(m, "20241215"), "2024-12-15");
  EXPECT_EQ(Iso(m, " 2024 12 15"), "2024-12-15");
  EXPECT_EQ(Iso(m, "241215"), std::string(10, ' '));
  EXPECT_EQ(
      Told(m),
      "message 3 Modulen AUTOLOAD för DATUM och TID får FELAKTIG parameter! ¶ IdString: 241215\n");
}

}  // namespace
}  // namespace kvor::test
