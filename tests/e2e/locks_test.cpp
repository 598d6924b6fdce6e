// Record locks held by another process while the real trv00381 prints or sends: `kvor reg lock`
// holds the invoice header as another program of the suite would. The program stops at "wait"
// actions where the test must act, and the test follows the program through its transcript, so
// every step waits for a signal rather than for time. On a register server, the same for two
// workstations (two installations with one data folder), and a server that stops mid-run.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "installation.h"
#include "support/background_process.h"
#include "support/register_snapshot.h"

namespace kvor::test {
namespace {

// True when the parts come in this order in text.
bool InOrder(const std::string& text, const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    at = text.find(part, at);
    if (at == std::string::npos) return false;
    at += part.size();
  }
  return true;
}

class Locks : public Installation {
 protected:
  // `kvor reg lock` on a record of a register, held until the test ends it.
  std::unique_ptr<BackgroundProcess> Hold(const std::string& reg, const std::string& key) {
    auto holder = std::make_unique<BackgroundProcess>(
        Kvor(), WithRegisters({"reg", "--root", demo, "lock", reg, key, "--hold", "600"}), dir,
        "holder");
    EXPECT_TRUE(holder->WaitForOutput("holding " + reg + " '" + key + "' locked for 600 s\n"))
        << holder->Err();
    return holder;
  }
  // trv00381 playing `actions` on the installation at root (demo unless told) without waiting
  // for it; its transcript goes to TranscriptOf(name).
  std::unique_ptr<BackgroundProcess> StartPlaying(const std::string& actions,
                                                  const std::string& name = "trv00381",
                                                  std::string root = "") {
    const std::string played = dir + "/" + name + ".actions";
    WriteFile(played, actions);
    return std::make_unique<BackgroundProcess>(
        Trv00381(),
        WithRegisters({"--root", root.empty() ? demo : root, "--headless", played, "--today",
                       "2026-12-04", "--pdf-only", "--pdf-dir", pdf_dir, "--transcript",
                       TranscriptOf(name)}),
        dir, name);
  }
  std::string TranscriptOf(const std::string& name) const {
    return dir + "/" + name + ".transcript";
  }
  // The transcript once it holds `part` `times` times (30 s bound for a broken run).
  std::string TranscriptWith(const std::string& part, int times) {
    return WaitForText(TranscriptOf("trv00381"), part, 30, times);
  }
  void Touch(const std::string& name) { WriteFile(dir + "/" + name, ""); }
};

// Two clients of one set of registers, in files or on a server.
using LocksOnStores = OnBothStores<WithFtpServer<Locks>>;
KVOR_DEMO_ON_BOTH_STORES(LocksOnStores);

TEST_P(LocksOnStores, APrintOrSendAtALockedHeaderIsCancelledOrWaitsUntilTheHolderHasEnded) {
  const RegisterSnapshot before = Snapshot();    // from the files or the server
  auto holder = Hold("SVF-FTHD", "001F241002");  // the e-invoice: no XML file either
  const std::string message =
      "message 4 Nyckel '001F241002' är LÅST av ANNAT program! ¶ Databas "
      "C:\\KVOR   \\SVF\\SVF-FTHD.BTR\n";
  // Another client meets the lock, on that record alone.
  EXPECT_EQ(LockHeaderOnce("241002").err,
            "kvor reg: SVF-FTHD '001F241002' is locked by another program (status 84)\n");
  EXPECT_EQ(LockHeaderOnce("241001").code, 0);

  // Cancel at the lock message: nothing printed or written.
  std::string seen = Run("type TxtNmmr 241002\nclick CmdKlar\nanswer AVBRYT\n");
  EXPECT_THAT(seen, HasSubstr(message + "answer AVBRYT\n"));
  EXPECT_EQ(Occurrences(seen, "message 4"), 1) << seen;
  EXPECT_EQ(Occurrences(seen, "XML"), 0) << seen;
  EXPECT_FALSE(std::filesystem::exists(demo + "/C/KVOR/FAKTUROR/001-241002.XML"));

  // Closing the message tries again; the program stands at the second lock message with nothing
  // printed or written yet. Once printed, it waits at idle for the test to lock the header again,
  // then sends: the sent mark is read with a lock as the print reads the header, and meets
  // another program's lock the same way.
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);  // the run consumed the link area
  auto program = StartPlaying("type TxtNmmr 241002\nclick CmdKlar\nanswer STÄNG\nwait " + dir +
                              "/killed\nanswer STÄNG\nanswer STÄNG\nwait " + dir +
                              "/locked\nclick CmdSänd\nanswer STÄNG\nanswer STÄNG\nwait " + dir +
                              "/released\nanswer STÄNG\n");
  seen = TranscriptWith(message, 2);
  ASSERT_EQ(Occurrences(seen, message), 2) << seen;
  EXPECT_EQ(Pdfs().size(), 0u);
  EXPECT_EQ(Snapshot().text, before.text);

  // A holder that never unlocks: its lock goes with it.
  EXPECT_EQ(holder->Kill(), 128 + SIGKILL);
  // The server frees a lock once it has seen its holder's connection go, a moment later.
  EXPECT_TRUE(WaitUntil([&] { return LockHeaderOnce("241002").code == 0; }, 10));
  Touch("killed");
  const std::string written = "' har DATA som XML skapats!";
  seen = TranscriptWith(written, 1);
  EXPECT_TRUE(InOrder(seen, {message, "answer STÄNG\n", message, "answer STÄNG\n",
                             "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med ", written}))
      << seen;
  EXPECT_EQ(Pdfs().size(), 1u);
  EXPECT_EQ(At(Header("241002"), 881, 1), "J");  // printed

  holder = Hold("SVF-FTHD", "001F241002");
  Touch("locked");
  seen = TranscriptWith(message, 4);
  // The upload is done and told; the lock is met when the sent mark is written.
  EXPECT_TRUE(InOrder(
      seen, {written, "' har ÖVERFÖRTS till FTP-servern!", message, "answer STÄNG\n", message}))
      << seen;
  const auto marked_sent = [&] { return At(Header("241002"), 853, 1) == "J"; };
  EXPECT_FALSE(marked_sent());
  holder->Stop();
  Touch("released");
  EXPECT_EQ(program->Wait(), 0) << program->Err();
  seen = ReadFile(TranscriptOf("trv00381"));
  EXPECT_EQ(Occurrences(seen, message), 4) << seen;
  EXPECT_EQ(Occurrences(seen, "ignored"), 0) << seen;
  EXPECT_TRUE(marked_sent());
  EXPECT_EQ(ReadFile(server.home + "/001-241002.XML"),
            ReadFile(demo + "/C/KVOR/FAKTUROR/001-241002.XML"));
}

TEST_F(Locks, AnInsertThatWaitedForTheBusyFileIsStoredUnderItsOwnKey) {
  // Another client keeps a write transaction open on SVF-LSKA beyond the store's wait, so the
  // print run's new certification row is refused with 85 until the test commits.
  const std::string file = demo + "/C/KVOR/SVF/SVF-LSKA.BTR";
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  auto program =
      StartPlaying("type TxtNmmr 241001\nclick CmdKlar\nwait " + dir + "/released\nanswer STÄNG\n");
  const std::string message =
      "message 3 Nyckel '001S311001541001' är LÅST av ANNAT program! ¶ Databas "
      "C:\\KVOR   \\SVF\\SVF-LSKA.BTR\n";
  EXPECT_EQ(Occurrences(TranscriptWith(message, 1), message), 1);
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  Touch("released");
  EXPECT_EQ(program->Wait(), 0) << program->Err();

  const auto stored = Records("SVF-LSKA", "001S311001541001");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(At(stored[0], 26, 8), "20261204");
}

// Two workstations of one office: two installations (system drives) that kvor demo made, whose
// registers are the same data folder on the test binary's register server.
class WorkstationsOnServer : public Locks {
 protected:
  WorkstationsOnServer() { registers = PgServer::Get().url(); }
  void SetUp() override {
    ASSERT_EQ(PgServer::Get().error(), "");
    Locks::SetUp();
    const ProcessResult made = RunProgram(Kvor(), WithRegisters({"demo", other}), dir);
    ASSERT_EQ(made.code, 0) << made.err;
  }
  const std::string other = dir + "/other";
};

TEST_F(WorkstationsOnServer, BothPrintAtOnceAndLeaveTheRegistersAsTwoPrintsOnFilesDo) {
  // Both workstations have the registers open and the invoice read before either prints.
  const std::string go = "wait " + dir + "/go\n";
  auto a = StartPlaying("type TxtNmmr 241001\n" + go + "click CmdKlar\n", "a");
  auto b = StartPlaying("type TxtNmmr 241003\n" + go + "click CmdKlar\n", "b", other);
  const std::string ready = "status Tryck [OK] för START av INITIERAD utskrift!";
  for (const std::string name : {"a", "b"})
    ASSERT_EQ(Occurrences(WaitForText(TranscriptOf(name), ready, 30), ready), 1) << name;
  Touch("go");
  EXPECT_EQ(a->WaitForEnd(60), 0) << a->Err();
  EXPECT_EQ(b->WaitForEnd(60), 0) << b->Err();
  EXPECT_EQ(Pdfs().size(), 2u);
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");
  const StoredState on_server = Snapshot().records;

  // The same two prints one after the other on register files.
  registers.clear();
  demo = dir + "/files";
  drives = {"--root", demo};
  ASSERT_EQ(RunProgram(Kvor(), {"demo", demo}, dir).code, 0);
  for (const std::string number : {"241001", "241003"})
    RunAgain("type TxtNmmr " + number + "\nclick CmdKlar\n");
  EXPECT_EQ(DataOf(on_server), DataOf(Snapshot().records));
}

TEST_F(WorkstationsOnServer,
       AServerStoppedDuringAPrintIsToldLeavesWholeRecordsAndTheNextRunPrints) {
  // Another program holds the first additional row, which the run writes after its first
  // register writes: the run stands at the lock message when the server stops.
  const RegisterSnapshot before = Snapshot();
  const std::string row = Records("SVF-FTAP", "001F241001").at(0).substr(0, 18);
  auto holder = Hold("SVF-FTAP", row);
  auto program =
      StartPlaying("type TxtNmmr 241001\nclick CmdKlar\nwait " + dir + "/stopped\nanswer STÄNG\n");
  const std::string locked = "' är LÅST av ANNAT program!";
  ASSERT_EQ(Occurrences(TranscriptWith(locked, 1), locked), 1);
  const RegisterSnapshot written = Snapshot();
  EXPECT_NE(written.text, before.text);  // some writes are made

  ASSERT_TRUE(PgServer::Get().Halt()) << PgServer::Get().error();
  Touch("stopped");
  const int ended = program->WaitForEnd(30);
  holder->Stop();
  ASSERT_TRUE(PgServer::Get().Resume()) << PgServer::Get().error();
  // The run ends by itself, telling the lost server at its next register call; what it wrote
  // before stays whole, and nothing more is written.
  EXPECT_EQ(ended, 0) << program->Err();
  const std::string seen = ReadFile(TranscriptOf("trv00381"));
  EXPECT_TRUE(InOrder(seen, {"answer STÄNG\n", "message 3 Nyckel '" + row +
                                                   "' gav STATUS-fel: 20 ¶ Databas "
                                                   "C:\\KVOR   \\SVF\\SVF-FTAP.BTR"}))
      << seen;
  EXPECT_EQ(Occurrences(seen, "STATUS-fel: 2 "), 0) << seen;
  EXPECT_EQ(Snapshot().text, written.text);

  // The next run on the restarted server prints the invoice and marks it printed.
  const std::string t = RunAgain("type TxtNmmr 241001\nclick CmdKlar\n");
  EXPECT_THAT(t, HasSubstr("är UTFÖRD med 2 sidor!"));
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");
}

}  // namespace
}  // namespace kvor::test
