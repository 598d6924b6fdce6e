#include "common/input_tests.h"

#include <gtest/gtest.h>

#include <tuple>

#include "common/cp1252.h"
#include "common/text.h"
#include "support/recording_messenger.h"

namespace kvor::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

TEST(TestYesNo, TakesJOrNAndColoursTheField) {
  RecordingMessenger m;
  FieldColours colours{0, 0};
  int16_t error = 7;
  std::string value = "+";
  TestYesNo(m, value, colours, error);
  EXPECT_EQ(value, "J");
  EXPECT_EQ(colours.back, kWhite);
  EXPECT_EQ(colours.fore, 0x008000u);
  EXPECT_EQ(error, 0);
  value = "-";
  TestYesNo(m, value, colours, error);
  EXPECT_EQ(value, "N");
  EXPECT_EQ(colours.fore, 0xC00000u);
  EXPECT_TRUE(m.empty());

  value = "x";
  TestYesNo(m, value, colours, error);
  EXPECT_EQ(value, "X");
  EXPECT_EQ(colours.fore, 0x000080u);
  EXPECT_EQ(error, 1);
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().via, Shown::kInputBox);
  EXPECT_EQ(m.last().text, Paragraphs("Endast TECKEN-värdet [ J ] eller [ N ] tillåtes!"_w,
                                      "Angivet EJ tillåtet!"_w));
}

TEST(TestDigits, ComplainsAboutTheFirstOtherCharacter) {
  RecordingMessenger m;
  int16_t error = 7;
  TestDigits(m, "0123456789", error);
  EXPECT_EQ(error, 0);
  TestDigits(m, "", error);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(m.empty());

  TestDigits(m, "12a4b", error);
  EXPECT_EQ(error, 1);
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().via, Shown::kInputBox);
  EXPECT_EQ(m.last().text, Paragraphs("Angivet TECKEN-värde [ a ] är EJ tillåtet!"_w,
                                      "Endast NUMERISK tillåts!"_w));
  TestDigits(m, "12 4", error);
  EXPECT_EQ(m.last().text.substr(0, 26), "Angivet TECKEN-värde [   ]"_w);
}

TEST(TestCertCode, ColoursEachCode) {
  RecordingMessenger m;
  int16_t error = 7;
  const auto test = [&](std::string value) {
    FieldColours colours{1, 1};
    TestCertCode(m, value, colours, error);
    return std::make_tuple(value, colours.back, colours.fore, error);
  };
  EXPECT_EQ(test("b"), std::make_tuple("B", 0x000000u, 0xCDEDEBu, 0));
  EXPECT_EQ(test("n"), std::make_tuple("N", kWhite, 0xC00000u, 0));
  EXPECT_EQ(test("J"), std::make_tuple("J", kWhite, 0x008000u, 0));
  EXPECT_EQ(test("p"), std::make_tuple("P", kWhite, 0x800080u, 0));
  EXPECT_EQ(test("F"), std::make_tuple("F", kWhite, 0x800080u, 0));
  EXPECT_TRUE(m.empty());

  EXPECT_EQ(test("x"), std::make_tuple("X", kWhite, 0x000080u, 1));
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().via, Shown::kInputBox);
  EXPECT_EQ(m.last().text,
            Paragraphs("Endast TECKEN-värdet [J] [ N ] [ B ] [ F ] [ P ] tillåtes!"_w,
                       "Angivet EJ tillåtet!"_w));
}

TEST(ShowMandatoryField, ShowsANotice) {
  RecordingMessenger m;
  ShowMandatoryField(m);
  ASSERT_EQ(m.calls.size(), 1u);
  EXPECT_EQ(m.last().via, Shown::kMessageWindow);
  EXPECT_EQ(m.last().kind, 2);
  EXPECT_EQ(m.last().text, Paragraphs("Obligatoriskt fält!"_w,
                                      "Tryck ENDAST med ENTER tillåts EJ för GODKÄNT indata!"_w));
}

TEST(ToUtf8Letters, WritesTheSwedishLettersAsUtf8BytePairs) {
  std::string text(FromUtf8("Växjö"));
  ToUtf8Letters(text);
  EXPECT_EQ(text, "V\xC3\xA4xj\xC3\xB6");
  text = FromUtf8("ÅÄÖåäö");
  ToUtf8Letters(text);
  EXPECT_EQ(text, "\xC3\x85\xC3\x84\xC3\x96\xC3\xA5\xC3\xA4\xC3\xB6");
  text = FromUtf8("Émile Ü ü é · &");
  const std::string untouched = text;
  ToUtf8Letters(text);
  EXPECT_EQ(text, untouched);
}

TEST(SplitPostcode, TakesSixCharactersAsPostcode) {
  std::string postcode, town;
  int16_t error = 7;
  SplitPostcode(Fixed(FromUtf8("12345 Växjö"), 25), postcode, town, error);
  EXPECT_EQ(postcode, "12345");
  EXPECT_EQ(town, FromUtf8("Växjö"));
  EXPECT_EQ(error, 0);

  SplitPostcode(Fixed("123 45  Lund", 25), postcode, town, error);
  EXPECT_EQ(postcode, "12345");
  EXPECT_EQ(town, "Lund");
  EXPECT_EQ(error, 0);

  SplitPostcode(Fixed(FromUtf8("Box 12 Växjö"), 25), postcode, town, error);
  EXPECT_EQ(error, 1);
  error = 0;
  SplitPostcode(std::string(25, ' '), postcode, town, error);
  EXPECT_EQ(postcode, "");
  EXPECT_EQ(error, 1);

  error = 7;
  SplitPostcode("Lund", postcode, town, error);
  EXPECT_EQ(postcode, "");
  EXPECT_EQ(town, "Lund");
  EXPECT_EQ(error, 7);
}

std::string Article(std::string_view group, std::string_view number, std::string_view variant) {
  RecordingMessenger m;
  std::string text;
  ArticleIdText(m, Fixed(group, 5) + Fixed(number, 20) + Fixed(variant, 5), text);
  EXPECT_TRUE(m.empty());
  return text;
}

TEST(ArticleIdText, UsesDotsWhileThereIsRoom) {
  EXPECT_EQ(Article("TRA", "12345", ""),
            "TRA\xB7"
            "12345");
  EXPECT_EQ(Article("TRA", "12345", "V1"),
            "TRA\xB7"
            "12345\xB7V1");
  EXPECT_EQ(Article("", "12345", ""), "12345");
  // 19 or 20 characters: joined without dots.
  EXPECT_EQ(Article("GRP", "ABCDEFGHIJKLMN", "XY"), "GRPABCDEFGHIJKLMNXY");
  EXPECT_EQ(Article("GRUPP", "ABCDEFGHIJKLMN", "X"), "GRUPPABCDEFGHIJKLMNX");
  // 21 or more: the variant is dropped first, then the dot, then the group.
  EXPECT_EQ(Article("GRP", "ABCDEFGHIJKLMNOP", "XY"),
            "GRP\xB7"
            "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(Article("GRUP", "ABCDEFGHIJKLMNOP", "XY"), "GRUPABCDEFGHIJKLMNOP");
  EXPECT_EQ(Article("GRUPP", "ABCDEFGHIJKLMNOPQ", "XY"), "ABCDEFGHIJKLMNOPQ");
  EXPECT_EQ(Article("", "ABCDEFGHIJKLMNOPQR", "VWXY"), "ABCDEFGHIJKLMNOPQRVWXY");
}

TEST(CustomerIdText, JoinsTheNonEmptyParts) {
  RecordingMessenger m;
  std::string text;
  CustomerIdText(m, "SE   4711           ", text);
  EXPECT_EQ(text,
            "SE\xB7"
            "4711");
  CustomerIdText(m, "SE12 4711           ", text);
  EXPECT_EQ(text,
            "SE\xB7"
            "12\xB7"
            "4711");
  EXPECT_TRUE(m.empty());
}

TEST(IdentityTexts, RefuseAWrongLength) {
  RecordingMessenger m;
  std::string text = "old";
  ArticleIdText(m, "TRA12345", text);
  EXPECT_EQ(text, "");
  CustomerIdText(m, "SE4711", text);
  ASSERT_EQ(m.calls.size(), 2u);
  EXPECT_EQ(m.calls[0].kind, 3);
  EXPECT_EQ(m.calls[0].text,
            Paragraphs("Modulen ARVKAVID för KONVERTERING får FELAKTIG parameter!"_w,
                       "ItString: TRA12345"));
  EXPECT_EQ(m.calls[1].kind, 3);
  EXPECT_EQ(m.calls[1].text,
            Paragraphs("Modulen KRKKKVID för KONVERTERING får FELAKTIG parameter!"_w,
                       "IdString: SE4711"));
}

}  // namespace
}  // namespace kvor::test
