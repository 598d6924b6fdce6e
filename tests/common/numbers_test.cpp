#include "common/numbers.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "common/told.h"

namespace kvor::test {
namespace {

// A routine's result and its error indicator (7 until the routine sets it).
struct Outcome {
  std::string value;
  int16_t error = 7;
};

TEST(RoundDecimals, HalvesGoUpwardsOnTheWrittenDecimalsAndTheNumericValueReadsAsValDoes) {
  // The numeric value reads the leading number as Val does: only a point is a decimal point.
  EXPECT_DOUBLE_EQ(NumericValue("  -12.5kr"), -12.5);
  EXPECT_DOUBLE_EQ(NumericValue("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(NumericValue("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(NumericValue("12,5"), 12);
  // Binary doubles hold 0.285 just below the half; the text's decimals decide. The
  // invariant form has no trailing zeros, no leading zero and no negative zero.
  const std::vector<std::tuple<std::string, int16_t, std::string>> cases = {
      {"2.345", 2, "2.35"},
      {"-2.345", 2, "-2.34"},
      {"2,125", 2, "2.13"},
      {"0.285", 2, ".29"},
      {"1235", -1, "1240"},
      {"1.50", 2, "1.5"},
      {"-0.004", 2, "0"},
      {" 1 234 , 56 ", 1, "1234.6"},
      {"123456789012.345", 2, "123456789012.35"}};
  for (const auto& [value, decimals, rounded] : cases) {
    Outcome out;
    RoundDecimals(value, out.value, decimals, out.error);
    EXPECT_EQ(out.value, rounded) << value;
    EXPECT_EQ(out.error, 0) << value;
  }
}

TEST(FormatAmount, RightAlignsInItsStyleGivesNegativesASignPlaceAndRefusesWrongParameters) {
  RecordingMessenger m;
  const auto amount = [&](std::string value, int16_t digits, int16_t decimals, int16_t style) {
    FormatAmount(m, value, digits, decimals, style);
    return value;
  };
  EXPECT_EQ(amount("1234,5", 10, 2, 3), std::string(7, ' ') + "1234.50");
  EXPECT_EQ(amount("-0.4", 3, 2, 2), "  -0.40");
  EXPECT_EQ(amount("17.6", 5, 0, 1), "   18");
  EXPECT_EQ(amount("-0.001", 3, 2, 0), "  0.00");  // rounds to zero: not negative
  EXPECT_EQ(Told(m), "");
  // A negative value without a sign place is reported and gets one.
  EXPECT_EQ(amount("-12", 10, 2, 0), std::string(7, ' ') + "-12.00");
  // The negative-value notice comes first; the width then counts the lowered places, and a value
  // too wide is left as it was.
  EXPECT_EQ(amount("-123", 3, 0, 0), "-123");
  EXPECT_EQ(
      Told(m),
      R"(message 2 Tilldelat VÄRDE för FORMATERING är NEGATIVT och TECKEN-koden 0 ändras! ¶ Värde: -12
message 2 Tilldelat VÄRDE för FORMATERING är NEGATIVT och TECKEN-koden 0 ändras! ¶ Värde: -123
message 3 Modulen SPARHTDM för FORMATERING får FELAKTIG parameter! ¶ HelTal: 2 · Sträng :-123 ¶ Tecken: 2  (2/3 för minus)
)");
}

TEST(FormatGrouped, GroupsThousandsWithTheChosenSeparatorAndRefusesAWrongOne) {
  RecordingMessenger m;
  const auto grouped = [&](std::string_view value, std::string_view separator, int16_t width) {
    Outcome out{"unset"};
    FormatGrouped(m, value, out.value, separator, width, out.error);
    return out;
  };
  EXPECT_EQ(grouped("1234567.5", ":", 16).value, std::string(7, ' ') + "1.234.567:5");
  EXPECT_EQ(grouped("-1234.50", ",", 8).value, "  -1.234,50");
  EXPECT_EQ(grouped("12.500", ",", 4).value, "  12,500");  // the decimals as written
  EXPECT_EQ(grouped(".5", ",", 0).value, ",5");  // an empty pattern has no obligatory place
  EXPECT_EQ(Told(m), "");
  // "##0" has no group mark, and the number does not fit its places.
  const Outcome wide = grouped("1234", ",", 3);
  EXPECT_EQ(wide.value, "1234");
  EXPECT_EQ(wide.error, 0);
  EXPECT_EQ(grouped("12.5", ".", 16).error, 1);
  EXPECT_EQ(grouped("12.50", ",", -1).error, 1);
  EXPECT_EQ(
      Told(m),
      R"(message 3 För TECKEN-utfyllnad FÖRE har STRÄNGEN redan FLER tilllåtna TECKEN än TILL-delas! ¶ Tecken:   · Stränglängd: 4 · Tilldelas: 3
message 3 Modulen SPARFTET för FORMATERING får FELAKTIG parameter! ¶ Värde:12.5 ¶ HelTal:16 ¶ Tecken: .
trapped Modulen SPARFTET för FORMATERING av FLYTTAL kan EJ utföras! ¶ Värde:12.50 ¶ HelTal:-1 ¶ DecTal:2
)");
}

TEST(RoundingDifference, IsTheStepToWholeUnitsForAtMostTwoDecimals) {
  RecordingMessenger m;
  const auto difference = [&](std::string_view value, int16_t decimals) {
    Outcome out{"unset"};
    RoundingDifference(m, value, out.value, decimals, out.error);
    EXPECT_EQ(out.error, decimals > 2 ? 1 : 0) << value;
    return out.value;
  };
  EXPECT_EQ(difference("1234.40", 2), "-.4");
  EXPECT_EQ(difference("1234,50", 2), ".5");
  EXPECT_EQ(difference("-1234.60", 1), "-.4");
  // The subtraction's binary noise must not push a half over: the exact difference is -0.495.
  EXPECT_EQ(difference("1234.495", 2), "-.49");
  EXPECT_EQ(difference("  0,00 ", 2), "");
  EXPECT_EQ(Told(m), "");
  // More than two decimals: refused, the value left as it was.
  EXPECT_EQ(difference(" 1 234.40", 3), " 1 234.40");
  EXPECT_EQ(Told(m),
            "message 3 Modulen AVRUNDAS för AVRUNDNING får FELAKTIG parameter! ¶ IdString: 1234.40 "
            "¶ DecTal: 3\n");
}

}  // namespace
}  // namespace kvor::test
