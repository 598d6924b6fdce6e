#include "common/input_tests.h"

#include <algorithm>
#include <iterator>

#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/text.h"

namespace kvor {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kRed = 0xC00000;
constexpr uint32_t kPurple = 0x800080;
constexpr uint32_t kDarkBlue = 0x000080;
constexpr uint32_t kPale = 0xCDEDEB;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

void TestYesNo(Messenger& messenger, std::string& value, FieldColours& colours, int16_t& error) {
  value = Upper(value);
  for (char& c : value) {
    if (c == '-') c = 'N';
    if (c == '+') c = 'J';
  }
  colours.back = kWhite;
  error = 0;
  if (value == "J") {
    colours.fore = kGreen;
  } else if (value == "N") {
    colours.fore = kRed;
  } else {
    messenger.ShowInputError(
        Paragraphs("Endast TECKEN-värdet [ J ] eller [ N ] tillåtes!"_w, "Angivet EJ tillåtet!"_w));
    colours.fore = kDarkBlue;
    error = 1;
  }
}

void TestDigits(Messenger& messenger, std::string_view value, int16_t& error) {
  error = 0;
  for (const char c : value) {
    if (IsDigit(c)) continue;
    std::string what = "Angivet TECKEN-värde [ "_w;
    what += c;
    what += " ] är EJ tillåtet!"_w;
    messenger.ShowInputError(Paragraphs(what, "Endast NUMERISK tillåts!"_w));
    error = 1;
    return;
  }
}

void TestCertCode(Messenger& messenger, std::string& value, FieldColours& colours, int16_t& error) {
  value = Upper(value);
  colours.back = kWhite;
  error = 0;
  if (value == "N") {
    colours.fore = kRed;
  } else if (value == "J") {
    colours.fore = kGreen;
  } else if (value == "P" || value == "F") {
    colours.fore = kPurple;
  } else if (value == "B") {
    colours.back = kBlack;
    colours.fore = kPale;
  } else {
    messenger.ShowInputError(Paragraphs(
        "Endast TECKEN-värdet [J] [ N ] [ B ] [ F ] [ P ] tillåtes!"_w, "Angivet EJ tillåtet!"_w));
    colours.fore = kDarkBlue;
    error = 1;
  }
}

void ShowMandatoryField(Messenger& messenger) {
  messenger.ShowMessage(Paragraphs("Obligatoriskt fält!"_w,
                                   "Tryck ENDAST med ENTER tillåts EJ för GODKÄNT indata!"_w),
                        2);
}

void ToUtf8Letters(std::string& text) {
  // The second bytes of these sequences are none of the six letters, so one pass over the text
  // gives the same as replacing letter after letter.
  struct Replacement {
    char letter;
    std::string_view utf8;
  };
  static constexpr Replacement kReplacements[] = {{"Å"_w[0], "\xC3\x85"}, {"Ä"_w[0], "\xC3\x84"},
                                                  {"Ö"_w[0], "\xC3\x96"}, {"å"_w[0], "\xC3\xA5"},
                                                  {"ä"_w[0], "\xC3\xA4"}, {"ö"_w[0], "\xC3\xB6"}};
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (const char c : text) {
    const auto* r = std::find_if(std::begin(kReplacements), std::end(kReplacements),
                                 [c](const Replacement& x) { return x.letter == c; });
    if (r != std::end(kReplacements))
      out += r->utf8;
    else
      out += c;
  }
  text = std::move(out);
}

void SplitPostcode(std::string_view line, std::string& postcode, std::string& town,
                   int16_t& error) {
  if (line.size() < 5) {
    postcode.clear();
    town = std::string(line);
    return;
  }
  postcode = RemoveBlanks(line.substr(0, 6));
  town = TrimLeft(TrimRight(line.size() > 6 ? line.substr(6) : std::string_view()));
  error = 0;
  if (postcode.size() < 5) error = 1;
  for (std::size_t i = 0; i < 5 && i < postcode.size(); ++i)
    if (!IsDigit(postcode[i])) error = 1;
}

void ArticleIdText(Messenger& messenger, std::string_view identity, std::string& text) {
  text.clear();
  if (identity.size() != 30) {
    messenger.ShowMessage(Paragraphs("Modulen ARVKAVID för KONVERTERING får FELAKTIG parameter!"_w,
                                     "ItString: " + std::string(identity)),
                          3);
    return;
  }
  const std::string group = TrimRight(identity.substr(0, 5));
  const std::string number = TrimRight(identity.substr(5, 20));
  const std::string variant = TrimRight(identity.substr(25, 5));
  const std::size_t g = group.size(), n = number.size(), v = variant.size();
  const std::string dot(1, kMiddleDot);

  if (g + n + v < 19) {
    text = group + (g > 0 ? dot : "") + number + (v > 0 ? dot : "") + variant;
  } else if (g + n + v <= 20) {
    text = group + number + variant;
  } else if (g + n > 20) {
    text = number;
  } else if (g > 0) {
    text = group + (g + n < 20 ? dot : "") + number;
  } else {
    text = number + variant;
  }
}

void CustomerIdText(Messenger& messenger, std::string_view identity, std::string& text) {
  text.clear();
  if (identity.size() != 20) {
    messenger.ShowMessage(Paragraphs("Modulen KRKKKVID för KONVERTERING får FELAKTIG parameter!"_w,
                                     "IdString: " + std::string(identity)),
                          3);
    return;
  }
  const std::string country = TrimRight(identity.substr(0, 2));
  const std::string group = TrimRight(identity.substr(2, 3));
  const std::string number = TrimRight(identity.substr(5, 15));
  const std::string dot(1, kMiddleDot);
  text = country + (country.empty() ? "" : dot) + group + (group.empty() ? "" : dot) + number;
}

}  // namespace kvor
