#include "common/input_tests.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/cp1252.h"
#include "common/text.h"
#include "common/told.h"

namespace kvor::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// A field checked by TestYesNo or TestCertCode: the value, its colours and the indicator.
using Checked = std::tuple<std::string, uint32_t, uint32_t, int16_t>;
template <typename Test>
Checked Check(RecordingMessenger& m, Test test, std::string value) {
  FieldColours colours{1, 1};
  int16_t error = 7;
  test(m, value, colours, error);
  return {value, colours.back, colours.fore, error};
}

TEST(ColouredFields, YesNoAndCertCodeColourTheFieldOrRefuse) {
  RecordingMessenger m;
  EXPECT_EQ(Check(m, TestYesNo, "+"), Checked("J", kWhite, 0x008000u, 0));
  EXPECT_EQ(Check(m, TestYesNo, "-"), Checked("N", kWhite, 0xC00000u, 0));

  // The certification code: each one its colours.
  EXPECT_EQ(Check(m, TestCertCode, "b"), Checked("B", 0x000000u, 0xCDEDEBu, 0));
  EXPECT_EQ(Check(m, TestCertCode, "n"), Checked("N", kWhite, 0xC00000u, 0));
  EXPECT_EQ(Check(m, TestCertCode, "p"), Checked("P", kWhite, 0x800080u, 0));
  EXPECT_EQ(Told(m), "");
  // Any other value is refused: the input-test colours, indicator 1, and an input box.
  EXPECT_EQ(Check(m, TestYesNo, "x"), Checked("X", kWhite, 0x000080u, 1));
  EXPECT_EQ(Check(m, TestCertCode, "x"), Checked("X", kWhite, 0x000080u, 1));
  EXPECT_EQ(Told(m),
            R"(input Endast TECKEN-värdet [ J ] eller [ N ] tillåtes! ¶ Angivet EJ tillåtet!
input Endast TECKEN-värdet [J] [ N ] [ B ] [ F ] [ P ] tillåtes! ¶ Angivet EJ tillåtet!
)");
}

TEST(TestDigits, ComplainsAboutTheFirstOtherCharacter) {
  RecordingMessenger m;
  int16_t error = 7;
  TestDigits(m, "0123456789", error);
  EXPECT_EQ(error, 0);
  TestDigits(m, "12a4b", error);
  EXPECT_EQ(error, 1);
  EXPECT_EQ(Told(m),
            "input Angivet TECKEN-värde [ a ] är EJ tillåtet! ¶ Endast NUMERISK tillåts!\n");
}

TEST(SplitPostcode, TakesSixCharactersAsPostcode) {
  // Postcode, town and indicator (7 when the routine left it alone).
  const auto split = [](const std::string& line) {
    std::string postcode, town;
    int16_t error = 7;
    SplitPostcode(line, postcode, town, error);
    return std::make_tuple(postcode, town, error);
  };
  using Split = std::tuple<std::string, std::string, int16_t>;
  EXPECT_EQ(split(Fixed("12345 Växjö"_w, 25)), Split("12345", "Växjö"_w, 0));
  EXPECT_EQ(split(Fixed("123 45  Lund", 25)), Split("12345", "Lund", 0));
  EXPECT_EQ(std::get<2>(split(Fixed("Box 12 Växjö"_w, 25))), 1);
  EXPECT_EQ(split("Lund"), Split("", "Lund", 7));
}

TEST(IdentityTexts, JoinTheNonEmptyPartsWithDotsWhileThereIsRoomAndRefuseAWrongLength) {
  RecordingMessenger m;
  const auto article = [&](std::string_view group, std::string_view number,
                           std::string_view variant) {
    std::string text;
    ArticleIdText(m, Fixed(group, 5) + Fixed(number, 20) + Fixed(variant, 5), text);
    return text;
  };
  EXPECT_EQ(article("TRA", "12345", "V1"), "TRA·12345·V1"_w);
  // 20 characters are joined without dots; from 21 the variant is dropped first, then the dot,
  // then the group.
  EXPECT_EQ(article("GRUPP", "ABCDEFGHIJKLMN", "X"), "GRUPPABCDEFGHIJKLMNX");
  EXPECT_EQ(article("GRP", "ABCDEFGHIJKLMNOP", "XY"), "GRP·ABCDEFGHIJKLMNOP"_w);
  EXPECT_EQ(article("GRUPP", "ABCDEFGHIJKLMNOPQ", "XY"), "ABCDEFGHIJKLMNOPQ");
  std::string text;
  CustomerIdText(m, "SE12 4711           ", text);
  EXPECT_EQ(text, "SE·12·4711"_w);
  EXPECT_EQ(Told(m), "");

  ArticleIdText(m, "TRA12345", text);
  CustomerIdText(m, "SE4711", text);
  EXPECT_EQ(
      Told(m),
      R"(message 3 Modulen ARVKAVID för KONVERTERING får FELAKTIG parameter! ¶ ItString: TRA12345
message 3 Modulen KRKKKVID för KONVERTERING får FELAKTIG parameter! ¶ IdString: SE4711
)");
}

}  // namespace
}  // namespace kvor::test
