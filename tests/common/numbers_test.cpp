#include "common/numbers.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "common/text.h"
#include "support/recording_messenger.h"

namespace kvor::test {
namespace {

std::string Rounded(std::string_view value, int16_t decimals) {
  std::string result = "unset";
  int16_t error = 7;
  RoundDecimals(value, result, decimals, error);
  EXPECT_EQ(error, 0) << value;
  return result;
}

std::string Amount(RecordingMessenger& m, std::string value, int16_t digits, int16_t decimals,
                   int16_t style) {
  FormatAmount(m, value, digits, decimals, style);
  return value;
}

std::string Grouped(RecordingMessenger& m, std::string_view value, std::string_view separator,
                    int16_t width, int16_t& error) {
  std::string result = "unset";
  error = 7;
  FormatGrouped(m, value, result, separator, width, error);
  return result;
}

std::string Difference(RecordingMessenger& m, std::string_view value, int16_t decimals,
                       int16_t& error) {
  std::string result = "unset";
  error = 7;
  RoundingDifference(m, value, result, decimals, error);
  return result;
}

std::string Padded(RecordingMessenger& m, std::string value, char fill, int16_t width,
                   bool before) {
  (before ? PadBefore : PadAfter)(m, value, fill, width);
  return value;
}

TEST(Padding, FillsToTheWidthAfterTrimmingOrReportsATooLongValue) {
  RecordingMessenger m;
  EXPECT_EQ(Padded(m, "42", '0', 6, true), "000042");
  EXPECT_EQ(Padded(m, "   42", ' ', 4, true), "  42");
  EXPECT_EQ(Padded(m, "Summa   ", '.', 8, false), "Summa...");
  EXPECT_TRUE(m.empty());
  // A value already too long is reported and left trimmed.
  std::string value = " 1234567";
  PadZerosBefore(m, value, 6);
  EXPECT_EQ(value, "1234567");
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text,
            Paragraphs("För TECKEN-utfyllnad FÖRE har STRÄNGEN redan FLER tilllåtna TECKEN än "
                       "TILL-delas!"_w,
                       "Tecken: 0 \xB7 Str\xE4ngl\xE4ngd: 7 \xB7 Tilldelas: 6"));
}

TEST(NumericValue, ReadsTheLeadingNumberAsValDoes) {
  EXPECT_DOUBLE_EQ(NumericValue("  -12.5kr"), -12.5);
  EXPECT_DOUBLE_EQ(NumericValue("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(NumericValue("12,5"), 12);  // only a point is a decimal point
  EXPECT_DOUBLE_EQ(NumericValue("abc"), 0);
}

TEST(RoundDecimals, HalvesGoUpwardsOnTheWrittenDecimalsInTheInvariantForm) {
  EXPECT_EQ(Rounded("2.345", 2), "2.35");
  EXPECT_EQ(Rounded("-2.345", 2), "-2.34");
  EXPECT_EQ(Rounded("2,125", 2), "2.13");
  // Binary doubles hold these just below the half; the text's decimals decide.
  EXPECT_EQ(Rounded("1.005", 2), "1.01");
  EXPECT_EQ(Rounded("0.285", 2), ".29");
  EXPECT_EQ(Rounded("-1234.5", 0), "-1234");
  EXPECT_EQ(Rounded("1235", -1), "1240");
  // The invariant form: no trailing zeros, no leading zero, no negative zero.
  EXPECT_EQ(Rounded("1.50", 2), "1.5");
  EXPECT_EQ(Rounded("0.5", 2), ".5");
  EXPECT_EQ(Rounded("-0.4", 2), "-.4");
  EXPECT_EQ(Rounded("-0.004", 2), "0");
  EXPECT_EQ(Rounded(" 1 234 , 56 ", 1), "1234.6");
  EXPECT_EQ(Rounded("123456789012.345", 2), "123456789012.35");
  EXPECT_EQ(Rounded("", 2), "0");
}

TEST(FormatAmount, RightAlignsInItsStyleGivesNegativesASignPlaceAndRefusesWrongParameters) {
  RecordingMessenger m;
  EXPECT_EQ(Amount(m, "1234,5", 10, 2, 3), std::string(7, ' ') + "1234.50");
  EXPECT_EQ(Amount(m, "1234,5", 10, 2, 0), std::string(6, ' ') + "1234.50");
  EXPECT_EQ(Amount(m, "0", 10, 0, 0), std::string(10, ' '));
  EXPECT_EQ(Amount(m, "-0.4", 3, 2, 2), "  -0.40");
  EXPECT_EQ(Amount(m, "17.6", 5, 0, 1), "   18");
  EXPECT_EQ(Amount(m, "-0.001", 3, 2, 0), "  0.00");  // rounds to zero: not negative
  EXPECT_EQ(Amount(m, "-12", 10, 2, 4), std::string(7, ' ') + "-12.00");
  EXPECT_TRUE(m.empty());
  // A negative value without a sign place is reported and gets one.
  EXPECT_EQ(Amount(m, "-12", 10, 2, 0), std::string(7, ' ') + "-12.00");
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 2);
  EXPECT_EQ(m.last().text,
            Paragraphs("Tilldelat VÄRDE för FORMATERING är NEGATIVT och TECKEN-koden 0 ändras!"_w,
                       "Värde: -12"_w));
  // Wrong parameters and too wide values leave the value.
  m.clear();
  EXPECT_EQ(Amount(m, "99.5", 2, 0, 0), "99.5");
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text,
            Paragraphs("Modulen SPARHTDM för FORMATERING får FELAKTIG parameter!"_w,
                       "HelTal: 2 \xB7 Str\xE4ng :100", "Tecken: 0  (2/3 f\xF6r minus)"));
  // The negative-value notice comes first; the width then counts the lowered places.
  m.clear();
  EXPECT_EQ(Amount(m, "-123", 3, 0, 0), "-123");
  ASSERT_EQ(m.calls.size(), 2u);
  EXPECT_EQ(m.last().text,
            Paragraphs("Modulen SPARHTDM för FORMATERING får FELAKTIG parameter!"_w,
                       "HelTal: 2 \xB7 Str\xE4ng :-123", "Tecken: 2  (2/3 f\xF6r minus)"));
  m.clear();
  EXPECT_EQ(Amount(m, "5", 0, 2, 0), "5");
  EXPECT_EQ(Amount(m, "5", 4, 2, -1), "5");
  ASSERT_EQ(m.calls.size(), 2u);
  EXPECT_NE(m.calls[1].text.find("Tecken:-1  (2/3"), std::string::npos);
}

TEST(FormatGrouped, GroupsThousandsWithTheChosenSeparatorAndRefusesAWrongOne) {
  RecordingMessenger m;
  int16_t error = 7;
  EXPECT_EQ(Grouped(m, "1234567.5", ":", 16, error), std::string(7, ' ') + "1.234.567:5");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(Grouped(m, "-1234.50", ",", 8, error), "  -1.234,50");
  EXPECT_EQ(Grouped(m, "123456", ",", 8, error), " 123.456");
  EXPECT_EQ(Grouped(m, "", ",", 4, error), "   0");
  EXPECT_EQ(Grouped(m, "12.500", ",", 4, error), "  12,500");  // the decimals as written
  EXPECT_EQ(Grouped(m, ".5", ",", 0, error), ",5");  // an empty pattern has no obligatory place
  EXPECT_TRUE(m.empty());
  // "##0" has no group mark, and the number does not fit its places.
  EXPECT_EQ(Grouped(m, "1234", ",", 3, error), "1234");
  EXPECT_NE(m.last().text.find("FÖRE"_w), std::string::npos);
  EXPECT_EQ(error, 0);
  m.clear();
  EXPECT_EQ(Grouped(m, "12.5", ".", 16, error), "unset");
  EXPECT_EQ(error, 1);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text, Paragraphs("Modulen SPARFTET för FORMATERING får FELAKTIG parameter!"_w,
                                      "Värde:12.5"_w, "HelTal:16", "Tecken: ."));
  EXPECT_EQ(Grouped(m, "12.50", ",", -1, error), "unset");
  EXPECT_EQ(error, 1);
  EXPECT_EQ(m.last().via, Shown::kTrappedError);
  EXPECT_EQ(m.last().text,
            Paragraphs("Modulen SPARFTET för FORMATERING av FLYTTAL kan EJ utföras!"_w,
                       "Värde:12.50"_w, "HelTal:-1", "DecTal:2"));
  Grouped(m, std::string(400, '9'), ",", 16, error);
  EXPECT_EQ(error, 1);
  EXPECT_EQ(m.calls.size(), 3u);
}

TEST(RoundingDifference, IsTheStepToWholeUnitsForAtMostTwoDecimals) {
  RecordingMessenger m;
  int16_t error = 7;
  EXPECT_EQ(Difference(m, "1234.40", 2, error), "-.4");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(Difference(m, "1234,50", 2, error), ".5");
  EXPECT_EQ(Difference(m, "-1234.60", 1, error), "-.4");
  EXPECT_EQ(Difference(m, "100", 2, error), "0");
  // The subtraction's binary noise must not push a half over: the exact difference is -0.495.
  EXPECT_EQ(Difference(m, "1234.495", 2, error), "-.49");
  EXPECT_EQ(Difference(m, "  0,00 ", 2, error), "");
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(m.empty());
  // More than two decimals: refused, the value left as it was.
  EXPECT_EQ(Difference(m, " 1 234.40", 3, error), " 1 234.40");
  EXPECT_EQ(error, 1);
  EXPECT_EQ(m.last().kind, 3);
  EXPECT_EQ(m.last().text, Paragraphs("Modulen AVRUNDAS för AVRUNDNING får FELAKTIG parameter!"_w,
                                      "IdString: 1234.40", "DecTal: 3"));
}

}  // namespace
}  // namespace kvor::test
