// Walks in key order by Get Greater and Get Next, which the store serves from records it fetched
// ahead: the walk must see the file as it is at each step, whoever changed it meanwhile.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/recman/client.h"
#include "support/run_program.h"

namespace kvor::recman {
namespace {

using test::Child;
using test::Client;
using test::CreateFile;
using test::kKeyLength;
using test::Rec;

constexpr int kRecords = 600;  // more than several fetches ahead

// Record n of the file has key "K" and 2n in five digits, so that odd numbers fall between.
std::string KeyOf(int n) {
  char key[16];
  std::snprintf(key, sizeof key, "K%05d", n);
  return Rec(key).substr(0, kKeyLength);
}

int NoSync(sqlite3* db, const char**, const sqlite3_api_routines*) {
  return sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
}

class recmanReadAhead : public test::OnBothStores {
 protected:
  // The file is made and filled with no handle left open, so that a test may fork a child.
  void SetUp() override {
    OnBothStores::SetUp();
    // Filled through a register file connection that does not wait for the disk, and closed again.
    Engine engine({}, place.registers());
    Client c(engine);
    ASSERT_EQ(CreateFile(engine, path), 0);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(NoSync));
    const int16_t opened = c.Open(path);
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(NoSync));
    ASSERT_EQ(opened, 0);
    for (const std::string& record : Records(0, kRecords - 1)) ASSERT_EQ(c.Insert(record), 0);
  }

  // The next record of a walk: Get Greater with the key that came back, as the channel layer's
  // NÄSTA does, or Get Next.
  static int16_t Next(Client& c, bool by_next) {
    return by_next ? c.Read(op::kGetNext) : c.Read(op::kGetGreater, c.key());
  }
  // Walks on from c's record until end of file; the keys met, each with the record's text.
  static std::vector<std::string> WalkOn(Client& c, bool by_next = false) {
    std::vector<std::string> met;
    int16_t st;
    while ((st = Next(c, by_next)) == 0) met.push_back(c.record());
    EXPECT_EQ(st, status::kEndOfFile);
    return met;
  }
  // Records first to last (record numbers n of KeyOf), with their text.
  static std::vector<std::string> Records(int first, int last) {
    std::vector<std::string> records;
    for (int n = first; n <= last; ++n) records.push_back(Rec(KeyOf(2 * n), "first"));
    return records;
  }

  std::string path = place.Name("SVF-FTHD.BTR");
  Engine engine{{}, place.registers()};
};
KVOR_ON_BOTH_STORES(recmanReadAhead);

TEST_P(recmanReadAhead, WalkSeesEveryRecordOnceInOrder) {
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  for (bool by_next : {false, true}) {
    ASSERT_EQ(a.Read(op::kGetFirst), 0);
    EXPECT_EQ(a.record(), Records(0, 0)[0]);
    EXPECT_EQ(WalkOn(a, by_next), Records(1, kRecords - 1))
        << (by_next ? "Get Next" : "Get Greater");
    // End of file keeps the last record current, as any failed read does.
    EXPECT_EQ(a.Read(op::kGetNext), status::kEndOfFile);
    ASSERT_EQ(a.Read(op::kGetPrevious), 0);
    EXPECT_EQ(a.key(), KeyOf(2 * (kRecords - 2)));
  }

  // Get Greater from a key other than the one served last, and Get Next and Get Greater mixed.
  ASSERT_EQ(a.Read(op::kGetGreater, KeyOf(199)), 0);
  EXPECT_EQ(a.key(), KeyOf(200));
  for (int n = 101; n < 140; ++n) {
    ASSERT_EQ(Next(a, n % 3 == 0), 0);
    ASSERT_EQ(a.record(), Rec(KeyOf(2 * n), "first"));
  }
  ASSERT_EQ(a.Read(op::kGetGreater, KeyOf(20)), 0);  // back, in the middle of a walk
  EXPECT_EQ(a.key(), KeyOf(22));
  ASSERT_EQ(a.Read(op::kGetNext), 0);
  EXPECT_EQ(a.key(), KeyOf(24));
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(400)), 0);  // another read, then the walk goes on from it
  ASSERT_EQ(a.Read(op::kGetNext), 0);
  EXPECT_EQ(a.key(), KeyOf(402));
}

// Locks and changes met in a walk, made by another handle of this engine, by another process and by
// the walking handle itself. Each change is made after the walk has passed record 40 (and fetched
// some records after it), and is met as it is when the walk gets there.
TEST_P(recmanReadAhead, LocksAndChangesOfOthersAreMetInAWalk) {
  // Forked before this process opens the file. It locks record 30 and says 'L'; on 'g' it updates
  // record 52 (which ends its lock) and says 'u'; on the next 'g' it deletes 55, inserts between 57
  // and 58, locks 30 again and says 'w'; then it waits to be killed, holding its lock.
  Child writer([this](Child& self) {
    Engine engine({}, place.registers());
    Client c(engine);
    if (c.Open(path) != 0 || c.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)) != 0) return 1;
    self.Send('L');
    if (self.Receive() != 'g') return 2;
    if (c.Rewrite(KeyOf(104), "child") != 0) return 3;
    self.Send('u');
    if (self.Receive() != 'g') return 4;
    if (c.Read(op::kGetEqual, KeyOf(110)) != 0 || c.Delete() != 0) return 5;
    if (c.Insert(Rec(KeyOf(115), "child")) != 0) return 6;
    if (c.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)) != 0) return 7;
    self.Send('w');
    self.Receive();
    return 0;
  });
  ASSERT_EQ(writer.Receive(), 'L');
  Client a(engine), b(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(b.Open(path), 0);

  ASSERT_EQ(a.Read(op::kGetFirst), 0);
  for (int n = 1; n < 29; ++n) ASSERT_EQ(Next(a, n % 2 == 0), 0);
  ASSERT_EQ(a.Read(op::kGetNext + op::kSingleLock), 0);                      // 29 locks
  EXPECT_EQ(a.Read(op::kGetNext + op::kSingleLock), status::kRecordLocked);  // 30 is the child's
  EXPECT_EQ(a.Read(op::kGetGreater + op::kSingleLock, a.key()), status::kRecordLocked);
  ASSERT_EQ(Next(a, true), 0);  // reading is not writing, and the refused reads did not move a
  EXPECT_EQ(a.key(), KeyOf(60));
  EXPECT_EQ(a.Update(Rec(KeyOf(60), "by a")), status::kRecordLocked);
  EXPECT_EQ(a.Delete(), status::kRecordLocked);

  for (int n = 31; n <= 40; ++n) ASSERT_EQ(Next(a, n % 2 == 0), 0);
  ASSERT_EQ(b.Rewrite(KeyOf(86), "by b"), 0);  // 43
  ASSERT_EQ(b.Read(op::kGetEqual, KeyOf(104)), 0);
  writer.Send('g');
  ASSERT_EQ(writer.Receive(), 'u');
  EXPECT_EQ(b.Update(Rec(KeyOf(104), "by b")), status::kConflict);  // the child changed it
  ASSERT_EQ(Next(a, false), 0);  // 41: the walk goes on between the changes
  writer.Send('g');
  ASSERT_EQ(writer.Receive(), 'w');
  std::vector<std::string> expected = Records(42, kRecords - 1);
  expected[43 - 42] = Rec(KeyOf(86), "by b");
  expected[52 - 42] = Rec(KeyOf(104), "child");
  expected.insert(expected.begin() + (58 - 42), Rec(KeyOf(115), "child"));
  expected.erase(expected.begin() + (55 - 42));
  EXPECT_EQ(WalkOn(a), expected);

  // a may write the version b wrote, and its own write and insert are what its walk meets next,
  // the insert after the walk has fetched past its place.
  EXPECT_EQ(a.Rewrite(KeyOf(86), "by a"), 0);
  ASSERT_EQ(a.Read(op::kGetLess, KeyOf(86)), 0);
  ASSERT_EQ(Next(a, false), 0);
  EXPECT_EQ(a.record(), Rec(KeyOf(86), "by a"));
  ASSERT_EQ(Next(a, true), 0);
  ASSERT_EQ(a.Insert(Rec(KeyOf(89), "new by a")), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(86)), 0);
  ASSERT_EQ(Next(a, false), 0);
  ASSERT_EQ(Next(a, true), 0);
  EXPECT_EQ(a.record(), Rec(KeyOf(89), "new by a"));

  // The lock of a killed process goes with it; a server lets it go once it has seen the
  // connection close.
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)), status::kRecordLocked);
  ASSERT_EQ(writer.Kill(SIGKILL), 128 + SIGKILL);
  EXPECT_TRUE(kvor::test::WaitUntil(
      [&] { return a.Read(op::kGetEqual + op::kSingleLock, KeyOf(60)) == 0; }, 5));
  EXPECT_EQ(a.Update(Rec(KeyOf(60), "by a")), 0);
}

// Get Equal outcomes are served again while the file is unchanged; any change, by whoever, is
// seen by the next read, and so is a record that appeared or went.
TEST_P(recmanReadAhead, AnEqualReadAgainSeesEveryChangeSinceTheLast) {
  Client a(engine), b(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(b.Open(path), 0);
  const std::string k10 = KeyOf(10), k11 = KeyOf(11);
  EXPECT_EQ(a.Find(k10), Rec(k10, "first"));
  ASSERT_EQ(b.Rewrite(k10, "by b"), 0);
  EXPECT_EQ(a.Find(k10), Rec(k10, "by b"));
  EXPECT_EQ(a.Update(Rec(k10, "by a")), 0);  // a holds b's version, so may write
  EXPECT_EQ(a.Find(k10), Rec(k10, "by a"));
  {
    Engine other({}, place.registers());  // another connection, as of another program
    Client c(other);
    ASSERT_EQ(c.Open(path), 0);
    ASSERT_EQ(c.Rewrite(k10, "other"), 0);
  }
  EXPECT_EQ(a.Find(k10), Rec(k10, "other"));
  EXPECT_EQ(a.Update(Rec(k10, "by a")), 0);

  EXPECT_EQ(a.Find(k11), "status 4");
  ASSERT_EQ(b.Insert(Rec(k11, "new by b")), 0);
  EXPECT_EQ(a.Find(k11), Rec(k11, "new by b"));
  ASSERT_EQ(b.Read(op::kGetEqual, k11), 0);
  ASSERT_EQ(b.Delete(), 0);
  EXPECT_EQ(a.Find(k11), "status 4");

  // Several keys are kept at once; a change to one of them is seen when it is asked again.
  const std::string k20 = KeyOf(20), k22 = KeyOf(22);
  for (const std::string& key : {k20, k22, k20}) ASSERT_EQ(a.Read(op::kGetEqual, key), 0);
  ASSERT_EQ(b.Rewrite(k22, "by b"), 0);
  EXPECT_EQ(a.Find(k20), Rec(k20, "first"));
  EXPECT_EQ(a.Find(k22), Rec(k22, "by b"));

  // A lock taken by another handle is met even when the record is served again.
  ASSERT_EQ(a.Read(op::kGetEqual, KeyOf(12)), 0);
  ASSERT_EQ(b.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), 0);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), status::kRecordLocked);
  ASSERT_EQ(b.Unlock(), 0);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, KeyOf(12)), 0);
}

}  // namespace
}  // namespace kvor::recman
