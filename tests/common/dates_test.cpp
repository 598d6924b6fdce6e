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
  EXPECT_EQ(Added(m, "20241215", "30", kDays), "20250114");
  EXPECT_EQ(Added(m, "2024-12-15", 30, kDays), "20250114");
  EXPECT_EQ(Added(m, "20240228", 1, kDays), "20240229");
  EXPECT_EQ(Added(m, "20250101", -1, kDays), "20241231");
  // Years and months stop at the month's last day.
  EXPECT_EQ(Added(m, "2024-02-29", "1", kYears), "20250228");
  EXPECT_EQ(Added(m, "20000229", 100, kYears), "21000228");
  EXPECT_EQ(Added(m, "20240131", 1, kMonths), "20240229");
  EXPECT_EQ(Added(m, "20240331", -1, kMonths), "20240229");
  EXPECT_EQ(Added(m, "20240115", -13, kMonths), "20221215");
  // The count is the whole part of its numeric value.
  EXPECT_EQ(Added(m, "20241215", "2.9", kDays), "20241217");
  EXPECT_EQ(Added(m, "20241215", "-1.5", kDays), "20241213");
  EXPECT_TRUE(m.empty());
}

TEST(AddToDate, RefusesAWrongUnitDateFormOrCalendarDate) {
  RecordingMessenger m;
  EXPECT_EQ(Added(m, "2024 12 15", 1, kDays), "refused");
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text, Paragraphs("Modulen DIFFDATE för ADDERA får FELAKTIG parameter!"_w,
                                      "ItString: 2024 12 15", "Typkod: 3"));
  m.clear();
  EXPECT_EQ(Added(m, "20241215", 1, 4), "refused");
  EXPECT_EQ(Added(m, "2024121500", 1, kDays), "refused");  // 10 characters without "-"
  ASSERT_EQ(m.calls.size(), 2u);
  EXPECT_EQ(m.calls[0].text, Paragraphs("Modulen DIFFDATE för ADDERA får FELAKTIG parameter!"_w,
                                        "ItString: 20241215", "Typkod: 4"));
  for (const Recorded& call : m.calls) EXPECT_EQ(call.via, Shown::kMessageWindow);

  // Dates the calendar cannot take.
  m.clear();
  EXPECT_EQ(Added(m, "20241340", 1, kDays), "refused");
  EXPECT_EQ(Added(m, "2024-02-30", 1, kMonths), "refused");
  EXPECT_EQ(Added(m, "99991231", 1, kDays), "refused");  // beyond the calendar's last day
  EXPECT_EQ(Added(m, "20241215", 100000, kYears), "refused");
  ASSERT_EQ(m.calls.size(), 4u);
  for (const Recorded& call : m.calls) {
    EXPECT_EQ(call.via, Shown::kTrappedError);
    EXPECT_EQ(call.error.source, "DIFFDATE");
  }
  EXPECT_EQ(m.calls[0].text,
            "Modulen DIFFDATE med PARAMETER-kod [D] via DATEADD kan EJ utföras!"_w);
  EXPECT_EQ(m.calls[1].text,
            "Modulen DIFFDATE med PARAMETER-kod [M] via DATEADD kan EJ utföras!"_w);

  // An 8-character date with a hyphen is first refused by the date form, then by the calendar.
  m.clear();
  EXPECT_EQ(Added(m, "2024-1-1", 1, kDays), "refused");
  ASSERT_EQ(m.calls.size(), 2u);
  EXPECT_EQ(m.calls[0].via, Shown::kMessageWindow);
  EXPECT_EQ(m.calls[1].via, Shown::kTrappedError);
}

TEST(FormatIsoDate, WritesEightDigitsWithHyphens) {
  RecordingMessenger m;
  EXPECT_EQ(Iso(m, "20241215"), "2024-12-15");
  EXPECT_EQ(Iso(m, " 2024 12 15"), "2024-12-15");
  EXPECT_EQ(Iso(m, ""), std::string(10, ' '));
  EXPECT_TRUE(m.empty());

  EXPECT_EQ(Iso(m, "241215"), std::string(10, ' '));
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text,
            Paragraphs("Modulen AUTOLOAD för DATUM och TID får FELAKTIG parameter!"_w,
                       "IdString: 241215"));
}

TEST(Timestamp, HoldsEveryFormOfOneMoment) {
  const Timestamp t = MakeTimestamp(2026, 12, 4, 16, 9, 5);
  EXPECT_EQ(t.date + " " + t.time, "2026-12-04 16:09:05");
  EXPECT_EQ(t.compact_date + t.compact_time, "20261204160905");
  EXPECT_EQ(t.year + t.month + t.day + t.hour + t.minute, "202612041609");
}

}  // namespace
}  // namespace kvor::test
