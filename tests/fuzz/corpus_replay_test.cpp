// Every input kept in fuzz/corpus/<target>/ goes once more through its target's entry function,
// the same function the fuzzer calls: a reader that breaks on a kept input aborts this test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/targets.h"

namespace kvor::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusOf(const std::string& target) {
  std::vector<fs::path> files;
  const fs::path folder = fs::path(KVOR_SOURCE_DIR) / "fuzz" / "corpus" / target;
  if (fs::is_directory(folder))
    for (const auto& e : fs::directory_iterator(folder))
      if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

// The target by its name in test output.
void PrintTo(const Target& target, std::ostream* out) {
  *out << target.name;
}

namespace {

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryKeptInputPassesItsChecks) {
  const Target& target = GetParam();
  const std::vector<fs::path> files = CorpusOf(target.name);
  ASSERT_FALSE(files.empty()) << "no corpus for " << target.name;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(target.entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kvor::fuzz
