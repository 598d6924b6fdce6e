// Tests of what the user typed into an entry field, with the colours the field gets, and text
// conversions for the e-invoice and the invoice rows. Modules:
//   TESTNEJA  J/N answer          TESTNMMR  digits only        TESTCKOD  certification code
//   MESSAGES  empty mandatory field
//   KONVERTA  UTF-8 letter pairs and the postcode split of a postal line
//   ARVKAVID  article identity as text      KRKKVKID  customer identity as text
// The three tests complain in the plain message box, not in the message window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/messenger.h"

namespace kvor {

// Colours of an entry field, 0xRRGGBB.
struct FieldColours {
  uint32_t back = 0xFFFFFF;
  uint32_t fore = 0x000000;
};

// Upper-cases the value and makes "-" "N" and "+" "J". "J" is green, "N" red; anything else is
// refused in the message box, dark blue, with the error indicator 1.
void TestYesNo(Messenger& messenger, std::string& value, FieldColours& colours, int16_t& error);

// 0 when every character is a digit (an empty value too); otherwise the first other character is
// refused in the message box and the error indicator is 1.
void TestDigits(Messenger& messenger, std::string_view value, int16_t& error);

// Upper-cases a certification code: "N" red, "J" green, "P" and "F" purple, "B" light on black;
// anything else is refused in the message box, dark blue, with the error indicator 1.
void TestCertCode(Messenger& messenger, std::string& value, FieldColours& colours, int16_t& error);

// Tells the user that the field may not be left empty.
void ShowMandatoryField(Messenger& messenger);

// Replaces the Swedish letters Å, Ä, Ö, å, ä, ö by the two bytes of their UTF-8 form, so that a
// file written byte for byte holds UTF-8 for them. No other character is touched.
void ToUtf8Letters(std::string& text);

// Splits a postal line into postcode (its first six characters without blanks) and town (the
// rest without leading and trailing blanks). A line shorter than 5 characters is all town and
// leaves the error indicator as it was; otherwise the indicator is 1 when the postcode's first
// five characters are not all digits (the caller then keeps the whole line as town), else 0.
void SplitPostcode(std::string_view line, std::string& postcode, std::string& town, int16_t& error);

// A 30-character article identity (group 5, number 20, variant 5) as printable text of at most
// 20 characters where it can be, parts joined by the middle dot while there is room for it.
void ArticleIdText(Messenger& messenger, std::string_view identity, std::string& text);

// A 20-character customer identity (country 2, group 3, number 15) as text, the parts that are
// not empty joined by the middle dot.
void CustomerIdText(Messenger& messenger, std::string_view identity, std::string& text);

}  // namespace kvor
