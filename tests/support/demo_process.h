// End-to-end tests of the real trv00381: a sample installation that the real kvor tool writes
// into a fresh folder, and headless runs of the program on it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace kvor::test {

class DemoProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    const ProcessResult made = RunProgram(Kvor(), {"demo", demo}, dir);
    ASSERT_EQ(made.code, 0) << made.err;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // Plays `actions` on the installation (today is 2026-12-04) and returns the transcript.
  std::string Run(const std::string& actions, const std::vector<std::string>& more = {}) {
    WriteFile(dir + "/actions.txt", actions);
    std::vector<std::string> args{"--root",  demo,        "--headless", dir + "/actions.txt",
                                  "--today", "2026-12-04"};
    args.insert(args.end(), more.begin(), more.end());
    const ProcessResult r = RunProgram(Trv00381(), args, dir);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }

  // `kvor reg ARGS` on the installation; its standard output.
  std::string Reg(const std::vector<std::string>& args) {
    std::vector<std::string> all{"reg", "--root", demo};
    all.insert(all.end(), args.begin(), args.end());
    const ProcessResult r = RunProgram(Kvor(), all, dir);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
  }
  // The installation's EDI settings send to the FTP server on this port of 127.0.0.1.
  void SendTo(const std::string& port) {
    Reg({"put", "SYS-EDIH", "--keep", "EDIH_P001=001", "EDIH_P267=" + port});
  }

  std::string dir = TempFolder();
  std::string demo = dir + "/demo";
};

}  // namespace kvor::test
