// Every text literal with a letter outside ASCII must go through the "_w" helper, or it would hold
// UTF-8 bytes where the program expects one Windows-1252 byte a character.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/literal_scan.h"

namespace kvor::test {
namespace {

TEST(Literals, ScannerFindsOnlyRawOnes) {
  const std::string src =
      "auto a = \"\xC3\x85TER\"_w;  // \xC3\x85 in a comment\n"
      "/* \"\xC3\x84\" */ char c = '\"';\n"
      "auto b = \"F\xC3\xB6retag\";\n"
      "auto r = R\"x(\xC3\xB6)x\";\n"
      "auto e = \"a\\\"\xC3\xB6\";\n";
  const auto found = FindRawNonAsciiLiterals(src);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].line, 3);
  EXPECT_EQ(found[1].line, 4);
  EXPECT_EQ(found[2].line, 5);
}

TEST(Literals, SourcesUseTheHelperForNonAsciiText) {
  const char* root = KVOR_SOURCE_DIR;
  int files = 0;
  std::string report;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(std::filesystem::path(root) / "src")) {
    const auto ext = entry.path().extension();
    if (ext != ".cpp" && ext != ".h") continue;
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    for (const RawLiteral& l : FindRawNonAsciiLiterals(text.str()))
      report += entry.path().string() + ":" + std::to_string(l.line) + ": \"" + l.text + "\"\n";
  }
  EXPECT_GT(files, 10);
  EXPECT_EQ(report, "") << "write these literals as \"...\"_w";
}

}  // namespace
}  // namespace kvor::test
