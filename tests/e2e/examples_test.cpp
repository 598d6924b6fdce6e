// The ACTIONS files of examples/ that the README shows, each played headless as its comment says
// to run it, on a fresh sample installation whose EDI settings point at a real FTP server: the file
// is there and reads, each of its actions finds something to act on, and every message it meets it
// answers itself.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "installation.h"

namespace kvor::test {
namespace {

// The README's examples, each with the name of its test and what its transcript must hold beyond
// the checks that all get.
struct ReadmeExample {
  std::string file, name;
  std::vector<std::string> shows;
  friend void PrintTo(const ReadmeExample& e, std::ostream* out) { *out << e.file; }
};
const ReadmeExample kExamples[] = {
    {"print-and-send.txt",
     "print_and_send",
     {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!",
      "message 1 För FAKTURA-nummer '241002' har DATA som XML skapats!",
      "message 1 Aktuellt FAKTURA-nummer '241002' har ÖVERFÖRTS till FTP-servern!"}},
    {"print-long-invoice.txt",
     "print_long_invoice",
     {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med"}},
    {"leave.txt",
     "leave",
     {"box Avslutas: Vald STÄNGNING är EJ normal!", "start C:\\WINKVOR\\TRV\\TRV00377.EXE"}},
};

class Example : public WithFtpServer<DemoProcess>,
                public ::testing::WithParamInterface<ReadmeExample> {};

TEST_P(Example, RunsHeadlessOnAFreshInstallation) {
  const std::string file = std::string(KVOR_SOURCE_DIR) + "/examples/" + GetParam().file;
  const ProcessResult r =
      RunProgram(Trv00381(), {"--root", demo, "--headless", file, "--pdf-only"}, dir);
  ASSERT_EQ(r.code, 0) << r.err << r.out;
  EXPECT_TRUE(r.out.ends_with("end 0\n")) << r.out;
  EXPECT_THAT(r.out, Not(HasSubstr("\nignored ")));
  EXPECT_THAT(r.out, Not(HasSubstr("(auto)"))) << "a message the example leaves open";
  for (const std::string& line : GetParam().shows) EXPECT_THAT(r.out, HasSubstr(line));
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kvor::test
