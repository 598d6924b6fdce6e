// A print run of e-invoice 241002 killed with SIGKILL after each of its register writes in turn
// (the record manager's KVOR_KILL_AFTER_WRITES hook): what it leaves must be whole records, no
// lock, registers that open, and an installation on which the next run prints and writes the same
// XML file as a run that was never stopped; on register files and on a register server.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files/drive_map.h"
#include "platform/recman/engine.h"
#include "registers/layouts.h"
#include "support/demo_process.h"
#include "support/register_snapshot.h"

namespace kvor::test {
namespace {

namespace fs = std::filesystem;
namespace op = recman::op;
namespace st = recman::status;

using State = StoredState;

// Register writes between two states: each update adds one to a version, an insert starts at 1,
// and a record that went took at least its delete.
long WritesBetween(const State& before, const State& after) {
  long writes = 0;
  for (const auto& [key, record] : after) {
    const auto was = before.find(key);
    writes += record.version - (was == before.end() ? 0 : was->second.version);
  }
  for (const auto& [key, record] : before)
    if (!after.count(key)) ++writes;
  return writes;
}

// The records that differ between two states, by version or by being there.
std::set<std::string> Changed(const State& a, const State& b) {
  std::set<std::string> out;
  for (const auto& [key, record] : a)
    if (!b.count(key) || b.at(key).version != record.version) out.insert(key);
  for (const auto& [key, record] : b)
    if (!a.count(key)) out.insert(key);
  return out;
}

class CrashSafety : public DemoProcess {
 protected:
  // A fresh copy of the sample installation, as `kvor demo` left it, in dir/run; on the server,
  // kvor demo writes its registers there again.
  std::string FreshCopy() {
    const std::string run = dir + "/run";
    fs::remove_all(run);
    if (registers.empty())
      fs::copy(demo, run, fs::copy_options::recursive);
    else
      EXPECT_EQ(RunProgram(Kvor(), WithRegisters({"demo", run}), dir).code, 0);
    return run;
  }

  // Every record of the installation at root, once the record manager has shown that every
  // register opens and that a walk in key order gives as many whole records as Stat counts, the
  // same records the store holds.
  State ReadState(const std::string& root) {
    files::DriveMap drives;
    drives.SetRoot(root);
    recman::Engine engine([&drives](const std::string& path) { return drives.ToHost(path); },
                          registers);
    std::map<std::string, std::string> walked;
    for (const registers::Layout& layout : registers::AllLayouts()) {
      const std::string name = layout.FileName();
      std::string path = "C:\\KVOR   \\" + layout.System() + "\\" + name;
      char block[recman::kPositionBlockSize] = {};
      char stat[recman::kStatSize] = {};
      uint16_t length = sizeof stat;
      int16_t status = engine.Call(op::kOpen, block, stat, length, path.data(),
                                   static_cast<uint8_t>(path.size()), 0);
      if (status != st::kOk) {
        ADD_FAILURE() << name << " does not open: status " << status;
        continue;
      }
      length = sizeof stat;
      char key[256] = {};
      EXPECT_EQ(engine.Call(op::kStat, block, stat, length, key, sizeof key - 1, 0), st::kOk);
      const uint16_t record_length = static_cast<uint8_t>(stat[recman::kStatRecordLength]) |
                                     static_cast<uint8_t>(stat[recman::kStatRecordLength + 1]) << 8;
      const uint8_t key_length = static_cast<uint8_t>(stat[recman::kStatKeyLength]);
      uint32_t count = 0;
      std::memcpy(&count, stat + recman::kStatRecordCount, 4);
      std::string data(record_length, ' ');
      uint32_t records = 0;
      length = record_length;
      for (status = engine.Call(op::kGetFirst, block, data.data(), length, key, key_length, 0);
           status == st::kOk;
           status = engine.Call(op::kGetNext, block, data.data(), length, key, key_length, 0)) {
        EXPECT_EQ(length, record_length) << name;
        walked[name + " " + data.substr(0, key_length)] = data;
        ++records;
        length = record_length;
      }
      EXPECT_TRUE(status == st::kEndOfFile) << name << ": the walk ended with status " << status;
      EXPECT_EQ(records, count) << name;
      length = 0;
      engine.Call(op::kClose, block, data.data(), length, key, 0, 0);
    }
    const RegisterSnapshot snapshot = Snapshot(root);
    EXPECT_EQ(snapshot.files, 28);
    EXPECT_EQ(walked, DataOf(snapshot.records));
    return snapshot.records;
  }
  // Prints 241002 on the installation; with kill_after > 0 the run is stopped after that many
  // register writes. The exit code, or 128 + the signal.
  int Print(const std::string& root, long kill_after) {
    EXPECT_EQ(RunProgram(Kvor(), {"link", root}, dir).code, 0);
    Environment env;
    if (kill_after > 0) env.emplace_back("KVOR_KILL_AFTER_WRITES", std::to_string(kill_after));
    drives = {"--root", root};
    return Play("type TxtNmmr 241002\nclick CmdKlar\n", {"--pdf-only", "--pdf-dir", pdf_dir}, env)
        .code;
  }
  std::string Xml(const std::string& root) {
    return ReadFile(root + "/C/KVOR/FAKTUROR/001-241002.XML");
  }
  // Another process can take the header's lock: nobody holds it.
  bool HeaderFree(const std::string& root) {
    return RunProgram(Kvor(),
                      WithRegisters(
                          {"reg", "--root", root, "lock", "SVF-FTHD", "001F241002", "--hold", "0"}),
                      dir)
               .code == 0;
  }
};

using CrashSafetyOnStores = OnBothStores<CrashSafety>;
KVOR_DEMO_ON_BOTH_STORES(CrashSafetyOnStores);

TEST_P(CrashSafetyOnStores,
       AKillAfterAnyWriteOfAPrintRunLeavesWholeRecordsNoLockAndARunThatGoesOn) {
  // The run that is never stopped: how many writes it makes, and what it leaves.
  const State before = ReadState(FreshCopy());
  ASSERT_EQ(Print(dir + "/run", 0), 0);
  const State after = ReadState(dir + "/run");
  const std::string xml = Xml(dir + "/run");
  ASSERT_TRUE(xml.ends_with("</ORNWEB>\r\n")) << xml;
  // A second run prints the invoice again. Its XML file takes the header's sums as the first
  // run stored them (the first takes them as the installation had them), so it is the one a run
  // after a kill must write once the header is stored as printed.
  ASSERT_EQ(Print(dir + "/run", 0), 0);
  const std::string reprint_xml = Xml(dir + "/run");
  ASSERT_TRUE(reprint_xml.ends_with("</ORNWEB>\r\n")) << reprint_xml;
  const long writes = WritesBetween(before, after);
  ASSERT_GT(writes, 0);
  // The hook counts the same writes: one more than the run makes stops nothing.
  EXPECT_EQ(Print(FreshCopy(), writes + 1), 0);

  // Records written more than once may show a state between before and after.
  std::set<std::string> rewritten;
  for (const auto& [key, record] : after)
    if (record.version - (before.count(key) ? before.at(key).version : 0) > 1)
      rewritten.insert(key);
  const std::string header = "SVF-FTHD.BTR 001F241002";
  ASSERT_TRUE(before.count(header) && after.count(header));

  std::string order;  // which record each write changed, for the log
  State previous = before;
  for (long n = 1; n <= writes; ++n) {
    SCOPED_TRACE("killed after write " + std::to_string(n) + " of " + std::to_string(writes));
    const std::string root = FreshCopy();
    ASSERT_EQ(Print(root, n), 128 + SIGKILL);
    const State stopped = ReadState(root);

    // The kill came right after the nth write, which is whole: one record more than after the
    // (n-1)th, and every record as before, as after, or between for one written again later.
    const std::set<std::string> changed = Changed(previous, stopped);
    EXPECT_EQ(changed.size(), 1u) << "records changed by write " << n << ": " << changed.size();
    for (const std::string& key : changed) order += " " + std::to_string(n) + ":" + key;
    for (const auto& [key, record] : stopped) {
      const bool as_before = before.count(key) && before.at(key).data == record.data;
      const bool as_after = after.count(key) && after.at(key).data == record.data;
      EXPECT_TRUE(as_before || as_after || rewritten.count(key)) << key;
    }
    if (n == writes) {
      EXPECT_EQ(stopped, after);
    }
    previous = stopped;

    EXPECT_TRUE(HeaderFree(root));
    const bool printed = stopped.at(header).data == after.at(header).data;
    ASSERT_EQ(Print(root, 0), 0);
    EXPECT_EQ(Xml(root), printed ? reprint_xml : xml);
    EXPECT_EQ(DataOf(ReadState(root)), DataOf(after));
  }
  std::cout << "a print run of 241002 makes " << writes
            << " register writes, each killed after:" << order << std::endl;
}

}  // namespace
}  // namespace kvor::test
