// Every input kept in fuzz/corpus/<target>/ goes once more through its target's entry function,
// the same function the fuzzer calls: a reader that breaks on a kept input aborts this test.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "fuzz/targets.h"
#include "support/run_program.h"

namespace kvor::fuzz {

// The target by its name in test output.
void PrintTo(const Target& target, std::ostream* out) {
  *out << target.name;
}

namespace {

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryKeptInputPassesItsChecks) {
  const Target& target = GetParam();
  int inputs = 0;
  const auto folder = std::filesystem::path(KVOR_SOURCE_DIR) / "fuzz" / "corpus" / target.name;
  if (std::filesystem::is_directory(folder))
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
      SCOPED_TRACE(file.path().string());
      const std::string bytes = test::ReadFile(file.path().string());
      EXPECT_EQ(target.entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
      ++inputs;
    }
  EXPECT_GT(inputs, 0) << "no corpus for " << target.name;
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kvor::fuzz
