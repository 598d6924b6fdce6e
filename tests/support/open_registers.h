// A test on the open registers of a fresh sample installation, as the start-up leaves them.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "registers/database.h"
#include "settings/settings.h"
#include "support/scripted_run.h"

namespace kvor::test {

class OpenRegisters : public ::testing::Test {
 protected:
  explicit OpenRegisters(const std::string& actions = "") : run(actions) {}
  void SetUp() override {
    frame::FillFrameState(ctx(), {"/opt/kvor/bin/trv00381", "C:", {}});
    int16_t err = 0;
    settings::ReadDriveSettings(ctx(), err);
    ASSERT_EQ(err, 0);
    registers::OpenAllRegisters(ctx(), err);
    ASSERT_EQ(err, 0);
  }
  void TearDown() override { registers::CloseAllChannels(ctx()); }
  Context& ctx() { return run.ctx(); }
  const registers::Layout& Header() { return *registers::FindLayout("SVF-FTHD"); }
  std::string Messages() { return MessageLines(run.Lines()); }
  // A header record whose every character tells its position.
  std::string DistinctRecord(const std::string& key) {
    std::string r;
    for (int i = 0; i < 999; ++i) r += static_cast<char>('A' + i % 26);
    return key + r.substr(key.size());
  }
  test::ScriptedRun run;
};

}  // namespace kvor::test
