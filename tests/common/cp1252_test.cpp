#include "common/cp1252.h"

#include <gtest/gtest.h>

namespace kvor {
namespace {

TEST(Cp1252, LiteralsBecomeOneByteACharacterRoundTripThroughUtf8AndUpperCase) {
  EXPECT_EQ("ÅTER Växjö·€–—"_w, "\xC5TER V\xE4xj\xF6\xB7\x80\x96\x97");

  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b < 0x80 || b >= 0xA0 || cp1252_detail::kHigh[b - 0x80]) all += static_cast<char>(b);
  EXPECT_EQ(FromUtf8(ToUtf8(all)), all);
  EXPECT_EQ(ToUtf8("F\xF6retag"), "Företag");
  // Unknown and broken UTF-8 becomes "?".
  EXPECT_EQ(FromUtf8("a\xE2\x82"), "a??");
  EXPECT_EQ(FromUtf8("日"), "?");
  EXPECT_EQ(Upper("v\xE4xj\xF6 \xE5"), "V\xC4XJ\xD6 \xC5");
  EXPECT_EQ(Upper("\xF7"), "\xF7");
}

}  // namespace
}  // namespace kvor
