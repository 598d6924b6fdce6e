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
  // Weighted sums 54 and 60; blanks are left out and a letter counts as 0 (sum 39).
  for (const auto& [base, wanted] :
       {std::pair{"735000012345", "6"}, {"7350 0001 2347", "0"}, {"73500001234A", "1"}}) {
    GlnCheckDigit(run.ctx(), base, digit, err);
    EXPECT_EQ(digit + " " + std::to_string(err), std::string(wanted) + " 0") << base;
  }

  // Eleven digits: told, and the digit of the last base kept.
  GlnCheckDigit(run.ctx(), "73500001234", digit, err);
  EXPECT_EQ(digit + " " + std::to_string(err), "1 1");
  EXPECT_EQ(test::MessageLines(run.Lines()),
            "message 2 För BERÄKNING av GLN till CHECK-summa SAKNAS dess 12 siffror! ¶ GLN-kod: "
            "73500001234\n");
  // A blank base is left alone.
  err = 5;
  GlnCheckDigit(run.ctx(), "    ", digit, err);
  EXPECT_EQ(digit + " " + std::to_string(err), "1 5");
}

}  // namespace
}  // namespace kvor::einvoice
