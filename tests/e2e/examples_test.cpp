// Every ACTIONS file in examples/ played headless, as its comment says to run it, on a fresh
// sample installation whose EDI settings point at a real FTP server: the file reads, each of its
// actions finds something to act on, and every message it meets it answers itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "support/demo_process.h"
#include "support/ftp_server.h"

namespace kvor::test {
namespace {

std::vector<std::string> ExampleFiles() {
  std::vector<std::string> out;
  for (const auto& e :
       std::filesystem::directory_iterator(std::string(KVOR_SOURCE_DIR) + "/examples"))
    if (e.path().extension() == ".txt") out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// What the transcripts of the named examples must hold beyond the checks that all get.
const std::map<std::string, std::vector<std::string>> kShows = {
    {"print-and-send.txt",
     {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med 2 sidor!",
      "message 1 För FAKTURA-nummer '241002' har DATA som XML skapats!",
      "message 1 Aktuellt FAKTURA-nummer '241002' har ÖVERFÖRTS till FTP-servern!"}},
    {"print-long-invoice.txt", {"message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med"}},
    {"leave.txt",
     {"box Avslutas: Vald STÄNGNING är EJ normal!", "start C:\\WINKVOR\\TRV\\TRV00377.EXE"}},
};

class Example : public DemoProcess, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    DemoProcess::SetUp();
    ASSERT_TRUE(server.Running()) << server.Log();
    SendTo(server.port);
  }
  FtpServer server{dir + "/ftp"};
};

TEST_P(Example, RunsHeadlessOnAFreshInstallation) {
  const std::string file = std::string(KVOR_SOURCE_DIR) + "/examples/" + GetParam();
  const ProcessResult r =
      RunProgram(Trv00381(), {"--root", demo, "--headless", file, "--pdf-only"}, dir);
  const std::string& t = r.out;
  ASSERT_EQ(r.code, 0) << r.err << t;
  EXPECT_TRUE(t.ends_with("end 0\n")) << t;
  EXPECT_EQ(t.find("\nignored "), std::string::npos) << t;
  EXPECT_EQ(t.find("(auto)"), std::string::npos) << "a message the example leaves open\n" << t;
  if (const auto shows = kShows.find(GetParam()); shows != kShows.end())
    for (const std::string& line : shows->second) EXPECT_NE(t.find(line), std::string::npos) << t;
}

// "print-and-send.txt" runs as the test "print_and_send".
std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.rfind('.'));
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, ::testing::ValuesIn(ExampleFiles()), TestName);

TEST(Examples, TheReadmesExamplesAreThere) {
  for (const auto& [name, shows] : kShows)
    EXPECT_TRUE(std::filesystem::exists(std::string(KVOR_SOURCE_DIR) + "/examples/" + name));
}

}  // namespace
}  // namespace kvor::test
