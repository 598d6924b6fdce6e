// The GLN check digit, with the message of a base that is not 12 digits read from the
// transcript of the scripted user.
#include "einvoice/gln.h"

#include <gtest/gtest.h>

#include "support/scripted_run.h"

namespace kvor::einvoice {
namespace {

TEST(GlnCheckDigit, CompletesTwelveDigitsAndTellsAnotherLength) {
  test::ScriptedRun run;
  std::string digit = "x";
  int16_t err = 9;
  GlnCheckDigit(run.ctx(), "735000012345", digit, err);  // weighted sum 54
  EXPECT_EQ(digit, "6");
  EXPECT_EQ(err, 0);
  GlnCheckDigit(run.ctx(), "7350 0001 2347", digit, err);  // blanks left out; sum 60
  EXPECT_EQ(digit, "0");
  GlnCheckDigit(run.ctx(), "73500001234A", digit, err);  // a letter counts as 0: sum 39
  EXPECT_EQ(digit, "1");
  EXPECT_EQ(test::MessageLines(run.Lines()), "");

  GlnCheckDigit(run.ctx(), "73500001234", digit, err);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(digit, "1");
  EXPECT_EQ(test::MessageLines(run.Lines()),
            "message 2 För BERÄKNING av GLN till CHECK-summa SAKNAS dess 12 siffror! ¶ GLN-kod: "
            "73500001234\n");
  // A blank base is left alone.
  err = 5;
  GlnCheckDigit(run.ctx(), "    ", digit, err);
  EXPECT_EQ(err, 5);
  EXPECT_EQ(digit, "1");
}

}  // namespace
}  // namespace kvor::einvoice
