// Record locks held by another process while the real trv00381 prints or sends: `kvor reg lock`
// holds the invoice header as another program of the suite would. The program stops at "wait"
// actions where the test must act, and the test follows the program through its transcript, so
// every step waits for a signal rather than for time. On a register server, the same for two
// workstations (two installations with one data folder), and a server that stops mid-run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/background_process.h"
#include "support/demo_process.h"
#include "support/ftp_server.h"
#include "support/register_snapshot.h"

namespace kvor::test {
namespace {

std::string LockMessage(const std::string& key) {
  return "message 4 Nyckel '" + key +
         "' är LÅST av ANNAT program! ¶ Databas C:\\KVOR   \\SVF\\SVF-FTHD.BTR\n";
}

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

class Locks : public DemoProcess {
 protected:
  // `kvor reg lock` on a record of a register, held until the test ends it; run on the
  // installation at root (demo unless told).
  std::unique_ptr<BackgroundProcess> Hold(const std::string& reg, const std::string& key,
                                          std::string root = "") {
    auto holder = std::make_unique<BackgroundProcess>(
        Kvor(),
        WithRegisters(
            {"reg", "--root", root.empty() ? demo : root, "lock", reg, key, "--hold", "600"}),
        dir, "holder");
    EXPECT_TRUE(holder->WaitForOutput("holding " + reg + " '" + key + "' locked for 600 s\n"))
        << holder->Err();
    return holder;
  }
  std::unique_ptr<BackgroundProcess> HoldHeader(const std::string& number, std::string root = "") {
    return Hold("SVF-FTHD", "001F" + number, root);
  }
  // Waits until the header can be locked again. The server frees a lock once it has seen its
  // holder's connection go, a moment after the holder has ended.
  void WaitUntilHeaderIsFree(const std::string& number) {
    for (int tries = 0; tries < 200; ++tries) {
      const std::vector<std::string> once = {"reg",      "--root",        demo,     "lock",
                                             "SVF-FTHD", "001F" + number, "--hold", "0"};
      if (RunProgram(Kvor(), WithRegisters(once), dir).code == 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the header of " << number << " stays locked";
  }
  // trv00381 playing `actions` on the installation at root (demo unless told) without waiting
  // for it; its transcript goes to TranscriptOf(name).
  std::unique_ptr<BackgroundProcess> StartPlaying(const std::string& actions, std::string root = "",
                                                  const std::string& name = "trv00381") {
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
    return WaitForText(transcript, part, 30, times);
  }
  void Touch(const std::string& name) { WriteFile(dir + "/" + name, ""); }

  const std::string transcript = TranscriptOf("trv00381");
};

TEST_F(Locks, KvorRegLockHoldsTheRecordAgainstOtherClientsUntilItEnds) {
  // A lock it cannot get, and a record that is not there, fail with a message.
  auto holder = HoldHeader("241001");
  const auto second = [&](const std::string& key) {
    return RunProgram(Kvor(), {"reg", "--root", demo, "lock", "SVF-FTHD", key, "--hold", "0"}, dir);
  };
  ProcessResult r = second("001F241001");
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_EQ(r.err, "kvor reg: SVF-FTHD '001F241001' is locked by another program (status 84)\n");
  EXPECT_EQ(second("001F241002").code, 0);  // a lock covers its one record only
  r = second("001F999999");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "kvor reg: no record with the key '001F999999' in SVF-FTHD\n");

  // A holder that ends, however it ends, leaves the record free.
  holder->Stop();
  r = second("001F241001");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "holding SVF-FTHD '001F241001' locked for 0 s\nreleased SVF-FTHD '001F241001'\n");

  r = RunProgram(Kvor(), {"reg", "--root", demo, "lock", "SVF-FTHD", "001F241001"}, dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("lock takes a register, a key and --hold SECONDS"), std::string::npos);
}

// Two clients of one set of registers, in files or on a server.
using LocksOnStores = OnBothStores<Locks>;
KVOR_DEMO_ON_BOTH_STORES(LocksOnStores);

TEST_P(LocksOnStores, APrintWaitsForTheLockedHeaderAndGoesOnWhenTheHolderHasEnded) {
  const RegisterSnapshot before = Snapshot();  // from the files or the server
  auto holder = HoldHeader("241001");
  const std::string released = "wait " + dir + "/released\n";
  auto program = StartPlaying(
      "type TxtNmmr 241001\n"
      "click CmdKlar\n"
      "answer STÄNG\n" +  // still locked: the message again
      released +
      "answer STÄNG\n");
  const std::string message = LockMessage("001F241001");

  // The program stands at the second lock message: nothing is printed or written yet.
  std::string seen = TranscriptWith(message, 2);
  ASSERT_EQ(Occurrences(seen, message), 2) << seen;
  EXPECT_TRUE(InOrder(seen, {message, "answer STÄNG\n", message})) << seen;
  EXPECT_EQ(Pdfs().size(), 0u);
  EXPECT_EQ(Snapshot().text, before.text);

  EXPECT_EQ(holder->Stop(), 128 + SIGTERM);
  WaitUntilHeaderIsFree("241001");
  Touch("released");
  EXPECT_EQ(program->Wait(), 0) << program->Err();
  seen = ReadFile(transcript);
  EXPECT_EQ(Occurrences(seen, message), 2) << seen;
  EXPECT_TRUE(InOrder(seen, {message, "answer STÄNG\n", message, "answer STÄNG\n",
                             "message 1 Önskad UTSKRIFT av 'FAKTURA' är UTFÖRD med "}))
      << seen;
  EXPECT_EQ(Occurrences(seen, "ignored"), 0) << seen;
  EXPECT_EQ(Pdfs().size(), 1u);
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");         // printed
  EXPECT_EQ(At(Header("241001"), 974, 8), "20261204");  // today
}

TEST_F(Locks, CancelAtTheLockMessageEndsThePrintWithNothingPrintedOrWritten) {
  const RegisterSnapshot before = SnapshotRegisters(demo);
  auto holder = HoldHeader("241002");  // the e-invoice: no XML file either
  auto program = StartPlaying("type TxtNmmr 241002\nclick CmdKlar\nanswer AVBRYT\n");
  EXPECT_EQ(program->Wait(), 0) << program->Err();
  const std::string seen = ReadFile(transcript);
  EXPECT_NE(seen.find(LockMessage("001F241002") + "answer AVBRYT\n"), std::string::npos) << seen;
  EXPECT_EQ(Occurrences(seen, "message 4"), 1) << seen;
  EXPECT_EQ(Occurrences(seen, "XML"), 0) << seen;
  holder->Stop();

  EXPECT_EQ(Pdfs().size(), 0u);
  EXPECT_FALSE(std::filesystem::exists(demo + "/C/KVOR/FAKTUROR/001-241002.XML"));
  const RegisterSnapshot after = SnapshotRegisters(demo);
  EXPECT_EQ(after.files, 28);
  EXPECT_EQ(after.text, before.text);
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

  for (const auto& [key, record] : SnapshotRegisters(demo).records)
    EXPECT_NE(key.find_first_not_of(' ', key.find(' ')), std::string::npos) << key;
  const auto stored = Records("SVF-LSKA", "001S311001541001");
  ASSERT_EQ(stored.size(), 1u) << ReadFile(transcript);
  EXPECT_EQ(At(stored[0], 26, 8), "20261204");
}

class LockedSend : public Locks {
 protected:
  void SetUp() override {
    Locks::SetUp();
    ASSERT_TRUE(server.Running()) << server.Log();
    SendTo(server.port);
  }
  // Prints 241002, then waits at idle for the test to lock its header, then sends; `answers`
  // follow the transfer message.
  std::unique_ptr<BackgroundProcess> PrintThenSend(const std::string& answers) {
    const std::string locked = "wait " + dir + "/locked\n";
    auto program = StartPlaying(
        "type TxtNmmr 241002\n"
        "click CmdKlar\n"
        "answer STÄNG\n" +  // the XML file is written
        locked +
        "click CmdSänd\n"
        "answer STÄNG\n" +  // the transfer message
        answers);
    const std::string written = "' har DATA som XML skapats!";
    EXPECT_EQ(Occurrences(TranscriptWith(written, 1), written), 1);
    return program;
  }
  bool MarkedSent() { return At(Header("241002"), 853, 1) == "J"; }

  FtpServer server{dir + "/ftp"};
};

TEST_F(LockedSend, TheSentMarkWaitsForTheLockedHeaderAndIsWrittenWhenTheHolderHasEnded) {
  auto program = PrintThenSend("answer STÄNG\nwait " + dir + "/released\nanswer STÄNG\n");
  auto holder = HoldHeader("241002");
  Touch("locked");
  const std::string message = LockMessage("001F241002");
  std::string seen = TranscriptWith(message, 2);
  ASSERT_EQ(Occurrences(seen, message), 2) << seen;
  // The upload is done and told; the lock is met when the sent mark is written.
  EXPECT_TRUE(
      InOrder(seen, {"' har ÖVERFÖRTS till FTP-servern!", message, "answer STÄNG\n", message}))
      << seen;
  EXPECT_FALSE(MarkedSent());

  holder->Stop();
  Touch("released");
  EXPECT_EQ(program->Wait(), 0) << program->Err();
  seen = ReadFile(transcript);
  EXPECT_EQ(Occurrences(seen, message), 2) << seen;
  EXPECT_EQ(Occurrences(seen, "ignored"), 0) << seen;
  EXPECT_TRUE(MarkedSent());
  EXPECT_EQ(ReadFile(server.home + "/001-241002.XML"),
            ReadFile(demo + "/C/KVOR/FAKTUROR/001-241002.XML"));
}

TEST_F(LockedSend, CancelAtTheLockMessageLeavesTheInvoiceUnmarked) {
  auto program = PrintThenSend("answer AVBRYT\n");
  auto holder = HoldHeader("241002");
  const RegisterSnapshot printed = SnapshotRegisters(demo);
  const std::string header = Header("241002");
  Touch("locked");
  EXPECT_EQ(program->Wait(), 0) << program->Err();
  holder->Stop();
  const std::string seen = ReadFile(transcript);
  EXPECT_NE(seen.find(LockMessage("001F241002") + "answer AVBRYT\n"), std::string::npos) << seen;
  EXPECT_EQ(Occurrences(seen, "message 4"), 1) << seen;
  EXPECT_FALSE(MarkedSent());
  EXPECT_EQ(Header("241002"), header);
  // The send's readers store what they read again (new versions); nothing holds other data.
  EXPECT_EQ(DataOf(SnapshotRegisters(demo).records), DataOf(printed.records));
  EXPECT_EQ(ReadFile(server.home + "/001-241002.XML"),
            ReadFile(demo + "/C/KVOR/FAKTUROR/001-241002.XML"));
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
  // The same two prints one after the other on register files.
  const std::string files = dir + "/files";
  ASSERT_EQ(RunProgram(Kvor(), {"demo", files}, dir).code, 0);
  for (const std::string number : {"241001", "241003"}) {
    ASSERT_EQ(RunProgram(Kvor(), {"link", files}, dir).code, 0);
    WriteFile(dir + "/files.actions", "type TxtNmmr " + number + "\nclick CmdKlar\n");
    ASSERT_EQ(RunProgram(Trv00381(),
                         {"--root", files, "--headless", dir + "/files.actions", "--today",
                          "2026-12-04", "--pdf-only", "--pdf-dir", dir + "/files-pdf"},
                         dir)
                  .code,
              0);
  }

  // Both workstations have the registers open and the invoice read before either prints.
  const std::string go = "wait " + dir + "/go\n";
  auto a = StartPlaying("type TxtNmmr 241001\n" + go + "click CmdKlar\n", demo, "a");
  auto b = StartPlaying("type TxtNmmr 241003\n" + go + "click CmdKlar\n", other, "b");
  const std::string ready = "status Tryck [OK] för START av INITIERAD utskrift!";
  for (const std::string name : {"a", "b"})
    ASSERT_EQ(Occurrences(WaitForText(TranscriptOf(name), ready, 30), ready), 1) << name;
  Touch("go");
  EXPECT_EQ(a->WaitForEnd(60), 0) << a->Err();
  EXPECT_EQ(b->WaitForEnd(60), 0) << b->Err();
  for (const std::string name : {"a", "b"})
    EXPECT_EQ(Occurrences(ReadFile(TranscriptOf(name)), "är UTFÖRD med 2 sidor!"), 1) << name;
  EXPECT_EQ(Pdfs().size(), 2u);

  const RegisterSnapshot on_files = SnapshotRegisters(files);
  for (const std::string number : {"241001", "241003"}) {
    EXPECT_EQ(At(Header(number), 881, 1), "J") << number;
    EXPECT_EQ(Header(number), on_files.records.at("SVF-FTHD.BTR 001F" + number).data) << number;
  }
  EXPECT_EQ(DataOf(Snapshot().records), DataOf(on_files.records));
}

TEST_F(WorkstationsOnServer, ALockHeldOnOneIsMetOnTheOtherUntilItsHolderIsKilled) {
  auto holder = HoldHeader("241001", other);
  auto program = StartPlaying("type TxtNmmr 241001\nclick CmdKlar\nanswer STÄNG\nwait " + dir +
                              "/killed\nanswer STÄNG\n");
  const std::string message = LockMessage("001F241001");
  ASSERT_EQ(Occurrences(TranscriptWith(message, 2), message), 2);
  EXPECT_EQ(At(Header("241001"), 881, 1), "N");

  // A holder that never unlocks: the server drops its lock with its connection.
  EXPECT_EQ(holder->Kill(), 128 + SIGKILL);
  WaitUntilHeaderIsFree("241001");
  Touch("killed");
  EXPECT_EQ(program->WaitForEnd(60), 0) << program->Err();
  const std::string seen = ReadFile(transcript);
  EXPECT_EQ(Occurrences(seen, message), 2) << seen;
  EXPECT_EQ(Occurrences(seen, "är UTFÖRD med 2 sidor!"), 1) << seen;
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");
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
  const std::string seen = ReadFile(transcript);
  EXPECT_TRUE(InOrder(seen, {"answer STÄNG\n", "message 3 Nyckel '" + row +
                                                   "' gav STATUS-fel: 20 ¶ Databas "
                                                   "C:\\KVOR   \\SVF\\SVF-FTAP.BTR"}))
      << seen;
  EXPECT_EQ(Occurrences(seen, "STATUS-fel: 2 "), 0) << seen;
  EXPECT_EQ(Snapshot().text, written.text);

  // The next run on the restarted server prints the invoice and marks it printed.
  ASSERT_EQ(RunProgram(Kvor(), {"link", demo}, dir).code, 0);
  const std::string t = Run("type TxtNmmr 241001\nclick CmdKlar\n");
  EXPECT_NE(t.find("är UTFÖRD med 2 sidor!"), std::string::npos) << t;
  EXPECT_EQ(At(Header("241001"), 881, 1), "J");
}

}  // namespace
}  // namespace kvor::test
