// The real trv00381 executable, run headless with a scripted user on a sample installation that
// the real kvor tool wrote.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/demo_process.h"

namespace kvor::test {
namespace {

class Headless : public DemoProcess {
 protected:
  std::string System(const std::string& name) { return demo + "/C/WINKVOR/SYSTEM/" + name; }
};

TEST_F(Headless, EmptyScriptStartsConsumesTheLinkAreaAndEnds) {
  const ProcessResult r = Play("");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "status Startar TRV00381-programmet!\n"
            "title TRV00381 · KVOR · 2022-10-19\n"
            "focus TxtNmmr\n"
            "status Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!\n"
            "end 0\n");
  EXPECT_FALSE(std::filesystem::exists(System("LINKAREA.DAT")));
}

TEST_F(Headless, TranscriptGoesToTheNamedFile) {
  const ProcessResult r = Play("focus CmdExit\n", {"--transcript", dir + "/t.txt"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "");
  const std::string t = ReadFile(dir + "/t.txt");
  EXPECT_NE(
      t.find("focus CmdExit\nstatus Tryck [ÅTER] för ANROP av SELEKTERA-programmet!\nend 0\n"),
      std::string::npos)
      << t;
}

TEST_F(Headless, BadScriptsStopBeforeAnythingHappens) {
  ProcessResult r = Play("focus TxtNmmr\nwiggle CboNmmr\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("line 2: unknown action 'wiggle'"), std::string::npos) << r.err;

  r = Play("click CmdNothing\n");
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
  // Nothing was started and the link area is still there for the next start.
  EXPECT_TRUE(std::filesystem::exists(System("LINKAREA.DAT")));
}

}  // namespace
}  // namespace kvor::test
