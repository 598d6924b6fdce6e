#include "common/dates.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "common/text.h"
#include "support/recording_messenger.h"

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

TEST(AddToDate, AddsDaysMonthsAndYearsStoppingAtTheMonthsLastDay) {
  RecordingMessenger m;
  EXPECT_EQ(Added(m, "2024-12-15", "30", kDays), "20250114");
  EXPECT_EQ(Added(m, "20250101", -1, kDays), "20241231");
  // Years and months stop at the month's last day; 2100 is no leap year, 2024 is.
  EXPECT_EQ(Added(m, "20000229", 100, kYears), "21000228");
  EXPECT_EQ(Added(m, "20240131", 1, kMonths), "20240229");
  EXPECT_EQ(Added(m, "20240115", -13, kMonths), "20221215");
  // The count is the whole part of its numeric value.
  EXPECT_EQ(Added(m, "20241215", "-1.5", kDays), "20241213");
  EXPECT_TRUE(m.empty());
}

TEST(AddToDate, RefusesAWrongUnitDateFormOrCalendarDate) {
  RecordingMessenger m;
  EXPECT_EQ(Added(m, "2024 12 15", 1, kDays), "refused");
  EXPECT_EQ(Added(m, "20241215", 1, 4), "refused");
  ASSERT_EQ(m.calls.size(), 2u);
  for (const Recorded& call : m.calls) EXPECT_EQ(call.via, Shown::kMessageWindow);
  EXPECT_EQ(m.calls[0].text, Paragraphs("Modulen DIFFDATE för ADDERA får FELAKTIG parameter!"_w,
                                        "ItString: 2024 12 15", "Typkod: 3"));
  EXPECT_EQ(m.calls[1].text, Paragraphs("Modulen DIFFDATE för ADDERA får FELAKTIG parameter!"_w,
                                        "ItString: 20241215", "Typkod: 4"));

  // Dates the calendar cannot take, the last one beyond its last day.
  m.clear();
  EXPECT_EQ(Added(m, "20241340", 1, kDays), "refused");
  EXPECT_EQ(Added(m, "2024-02-30", 1, kMonths), "refused");
  EXPECT_EQ(Added(m, "99991231", 1, kDays), "refused");
  ASSERT_EQ(m.calls.size(), 3u);
  for (const Recorded& call : m.calls) EXPECT_EQ(call.via, Shown::kTrappedError);
  EXPECT_EQ(m.calls[1].text,
            "Modulen DIFFDATE med PARAMETER-kod [M] via DATEADD kan EJ utföras!"_w);
}

TEST(FormatIsoDate, WritesEightDigitsWithHyphens) {
  RecordingMessenger m;
  EXPECT_EQ(Iso(m, "20241215"), "2024-12-15");
  EXPECT_EQ(Iso(m, " 2024 12 15"), "2024-12-15");
  EXPECT_TRUE(m.empty());

  EXPECT_EQ(Iso(m, "241215"), std::string(10, ' '));
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text,
            Paragraphs("Modulen AUTOLOAD för DATUM och TID får FELAKTIG parameter!"_w,
                       "IdString: 241215"));
}

}  // namespace
}  // namespace kvor::test
