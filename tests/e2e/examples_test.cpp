// The ACTIONS files of examples/ that the README shows, each played headless as its comment says
// to run it, on a fresh sample installation whose EDI settings point at a real FTP server: the file
// is there and reads, each of its actions finds something to act on, and every message it meets it
// answers itself.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "installation.h"

namespace kvor::test {
namespace {

// The README's examples, each with what its transcript must hold beyond the checks that all get.
struct ReadmeExample {
  std::string file;
  std::vector<std::string> shows;
  friend void PrintTo(const ReadmeExample& e, std::ostream* out) { *out << e.file; }
};
const ReadmeExample kExamples[] = {
    {"print-and-send.txt",
     {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!",
      "message 1 För FAKTURA-nummer '241002' har DATA som XML skapats!",
      "message 1 Aktuellt FAKTURA-nummer '241002' har ÖVERFÖRTS till FTP-servern!"}},
    {"print-long-invoice.txt", {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med"}},
    {"leave.txt",
     {"box Avslutas: Vald STÄNGNING är EJ normal!", "start C:\\WINKVOR\\TRV\\TRV00377.EXE"}},
};

class Example : public WithFtpServer<DemoProcess>,
                public ::testing::WithParamInterface<ReadmeExample> {};

TEST_P(Example, RunsHeadlessOnAFreshInstallation) {
  const std::string file = std::string(KVOR_SOURCE_DIR) + "/examples/" + GetParam().file;
  const ProcessResult r =
      RunProgram(Trv00381(), {"--root", demo, "--headless", file, "--pdf-only"}, dir);
  const std::string& t = r.out;
  ASSERT_EQ(r.code, 0) << r.err << t;
  EXPECT_TRUE(t.ends_with("end 0\n")) << t;
  EXPECT_THAT(t, Not(HasSubstr("\nignored ")));
  EXPECT_THAT(t, Not(HasSubstr("(auto)"))) << "a message the example leaves open";
  for (const std::string& line : GetParam().shows) EXPECT_THAT(t, HasSubstr(line));
}

// "print-and-send.txt" runs as the test "print_and_send".
std::string TestName(const ::testing::TestParamInfo<ReadmeExample>& info) {
  std::string name = info.param.file.substr(0, info.param.file.rfind('.'));
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, ::testing::ValuesIn(kExamples), TestName);

}  // namespace
}  // namespace kvor::test
