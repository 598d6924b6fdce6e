// The real trv00381 executable, run headless with a scripted user.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"

namespace kvor::test {
namespace {

class Headless : public ::testing::Test {
 protected:
  ProcessResult Run(const std::string& actions, std::vector<std::string> more = {}) {
    WriteFile(dir + "/actions.txt", actions);
    std::vector<std::string> args{"--headless", dir + "/actions.txt", "--today", "2026-12-04"};
    args.insert(args.end(), more.begin(), more.end());
    return RunProgram(Trv00381(), args, dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir = TempFolder();
};

TEST_F(Headless, EmptyScriptStartsAndEnds) {
  const ProcessResult r = Run("");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "status Startar TRV00381-programmet!\n"
            "title TRV00381 · KVOR · 2022-10-19\n"
            "focus TxtNmmr\n"
            "status Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!\n"
            "end 0\n");
}

TEST_F(Headless, TranscriptGoesToTheNamedFile) {
  const ProcessResult r = Run("focus CmdExit\n", {"--transcript", dir + "/t.txt"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "");
  const std::string t = ReadFile(dir + "/t.txt");
  EXPECT_NE(t.find("focus CmdExit\nstatus Tryck [ÅTER] för ANROP av SELEKTERA-programmet!\nend 0\n"),
            std::string::npos)
      << t;
}

TEST_F(Headless, IdleProgramLeavesAfterTheCountdown) {
  // Interrupted by a close-box question that nobody answers, then left idle.
  const ProcessResult r = Run("close\ntick 242\n");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("answer NEJ (auto)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nend 0\n"), std::string::npos);
}

TEST_F(Headless, BadScriptsStopBeforeAnythingHappens) {
  ProcessResult r = Run("focus TxtNmmr\nwiggle CboNmmr\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("line 2: unknown action 'wiggle'"), std::string::npos) << r.err;

  r = Run("click CmdNothing\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no control 'CmdNothing'"), std::string::npos) << r.err;

  r = RunProgram(Trv00381(), {"--headless", dir + "/missing.txt"}, dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("cannot read the ACTIONS file"), std::string::npos) << r.err;

  r = RunProgram(Trv00381(), {"--today", "2026-13-01"}, dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("usage: trv00381"), std::string::npos);
}

}  // namespace
}  // namespace kvor::test
