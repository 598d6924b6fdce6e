// The real trv00381 executable, run headless with a scripted user on a sample installation that
// the real kvor tool wrote.
#include <gtest/gtest.h>

#include <filesystem>

#include "installation.h"

namespace kvor::test {
namespace {

using Headless = DemoProcess;

// Bad scripts stop before anything happens, leaving the link area for the next start; a good one
// starts, consumes the link area, plays and ends.
TEST_F(Headless, BadScriptsStopBeforeAnythingHappensAndAGoodOneConsumesTheLinkArea) {
  const auto refused = [&](const std::vector<std::string>& args, const std::string& told) {
    const ProcessResult r = RunProgram(Trv00381(), args, dir);
    EXPECT_EQ(r.code, 2) << told;
    EXPECT_EQ(r.out, "") << told;
    EXPECT_THAT(r.err, HasSubstr(told));
  };
  WriteFile(dir + "/wiggle.txt", "focus TxtNmmr\nwiggle CboNmmr\n");
  refused({"--root", demo, "--headless", dir + "/wiggle.txt"}, "line 2: unknown action 'wiggle'");
  WriteFile(dir + "/nothing.txt", "click CmdNothing\n");
  refused({"--root", demo, "--headless", dir + "/nothing.txt"}, "no control 'CmdNothing'");
  refused({"--headless", dir + "/missing.txt"}, "cannot read the ACTIONS file");
  refused({"--today", "2026-13-01"}, "usage: trv00381");
  const std::string link_area = demo + "/C/WINKVOR/SYSTEM/LINKAREA.DAT";
  EXPECT_TRUE(std::filesystem::exists(link_area));

  const ProcessResult r = Play("focus CmdExit\n");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "status Startar TRV00381-programmet!\n"
            "title TRV00381 · KVOR · 2022-10-19\n"
            "focus TxtNmmr\n"
            "status Tryck [ENTER] för TILLDELNING av SPECIFIKATIONS-nummer!\n"
            "focus CmdExit\n"
            "status Tryck [ÅTER] för ANROP av SELEKTERA-programmet!\n"
            "end 0\n");
  EXPECT_FALSE(std::filesystem::exists(link_area));
}

}  // namespace
}  // namespace kvor::test
