// A print run of e-invoice 241002 killed with SIGKILL after each of its register writes in turn
// (the record manager's KVOR_KILL_AFTER_WRITES hook): what it leaves must be whole records, no
// lock, and an installation on which the next run prints and writes the same XML file as a run
// that was never stopped; on register files and on a register server.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <set>
#include <string>

#include "installation.h"
#include "support/register_snapshot.h"

namespace kvor::test {
namespace {

// The records that differ between two states, by version or by being there.
std::set<std::string> Changed(const StoredState& a, const StoredState& b) {
  std::set<std::string> out;
  for (const auto& [key, record] : a)
    if (!b.count(key) || b.at(key).version != record.version) out.insert(key);
  for (const auto& [key, record] : b)
    if (!a.count(key)) out.insert(key);
  return out;
}

class CrashSafety : public Installation {
 protected:
  // A fresh copy of the sample installation, as `kvor demo` left it, in dir/run; on the server,
  // kvor demo writes its registers there again.
  std::string FreshCopy() {
    const std::string run = dir + "/run";
    std::filesystem::remove_all(run);
    if (registers.empty())
      std::filesystem::copy(demo, run, std::filesystem::copy_options::recursive);
    else
      EXPECT_EQ(RunProgram(Kvor(), WithRegisters({"demo", run}), dir).code, 0);
    return run;
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
};

using CrashSafetyOnStores = OnBothStores<CrashSafety>;
KVOR_DEMO_ON_BOTH_STORES(CrashSafetyOnStores);

TEST_P(CrashSafetyOnStores,
       AKillAfterAnyWriteOfAPrintRunLeavesWholeRecordsNoLockAndARunThatGoesOn) {
  // The run that is never stopped, and what it leaves.
  const StoredState before = Snapshot(FreshCopy()).records;
  ASSERT_EQ(Print(dir + "/run", 0), 0);
  const StoredState after = Snapshot(dir + "/run").records;
  const std::string xml = Xml(dir + "/run");
  ASSERT_TRUE(xml.ends_with("</ORNWEB>\r\n")) << xml;
  // A second run prints the invoice again. Its XML file takes the header's sums as the first
  // run stored them (the first takes them as the installation had them), so it is the one a run
  // after a kill must write once the header is stored as printed.
  ASSERT_EQ(Print(dir + "/run", 0), 0);
  const std::string reprint_xml = Xml(dir + "/run");
  ASSERT_TRUE(reprint_xml.ends_with("</ORNWEB>\r\n")) << reprint_xml;

  // Records written more than once may show a state between before and after.
  std::set<std::string> rewritten;
  for (const auto& [key, record] : after)
    if (record.version - (before.count(key) ? before.at(key).version : 0) > 1)
      rewritten.insert(key);
  const std::string header = "SVF-FTHD.BTR 001F241002";
  ASSERT_TRUE(before.count(header) && after.count(header));

  // Killed after the nth write, for each n, until a run makes fewer writes than that and ends.
  StoredState previous = before;
  long n = 1;
  for (;; ++n) {
    SCOPED_TRACE("killed after write " + std::to_string(n));
    const std::string root = FreshCopy();
    const int ended = Print(root, n);
    if (ended == 0) break;
    ASSERT_EQ(ended, 128 + SIGKILL);
    ASSERT_LT(n, 1000) << "the run never ends";
    const StoredState stopped = Snapshot(root).records;

    // The nth write is whole: one record more than after the (n-1)th, and every record as
    // before, as after, or between for one written again later.
    EXPECT_EQ(Changed(previous, stopped).size(), 1u);
    for (const auto& [key, record] : stopped) {
      const bool as_before = before.count(key) && before.at(key).data == record.data;
      const bool as_after = after.count(key) && after.at(key).data == record.data;
      EXPECT_TRUE(as_before || as_after || rewritten.count(key)) << key;
    }
    previous = stopped;

    EXPECT_EQ(LockHeaderOnce("241002", root).code, 0);  // nobody holds the lock
    const bool printed = stopped.at(header).data == after.at(header).data;
    ASSERT_EQ(Print(root, 0), 0);
    EXPECT_EQ(Xml(root), printed ? reprint_xml : xml);
    EXPECT_EQ(DataOf(Snapshot(root).records), DataOf(after));
  }
  // The last kill came right after the run's last write: all is as the run leaves it.
  EXPECT_GT(n, 1);
  EXPECT_EQ(previous, after);
}

}  // namespace
}  // namespace kvor::test
