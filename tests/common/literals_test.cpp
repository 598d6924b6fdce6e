// Every text literal with a letter outside ASCII must go through the "_w" helper, or it would hold
// UTF-8 bytes where the program expects one Windows-1252 byte a character.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/literal_scan.h"

namespace kvor::test {
namespace {

TEST(Literals, SourcesUseTheHelperForNonAsciiText) {
  // The scanner sees a raw literal, and neither one through the helper nor a comment.
  const auto found = FindRawNonAsciiLiterals(
      "auto a = \"\xC3\x85TER\"_w;  // \xC3\x85 in a comment\n"
      "/* \"\xC3\x84\" */ char c = '\"';\n"
      "auto b = \"F\xC3\xB6retag\";\n");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 3);

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
