// Two processes on one register file: locks and records seen across the process boundary.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/recman/client.h"
#include "support/run_program.h"

namespace kvor::recman {
namespace {

using test::Child;
using test::Client;
using test::CreateFile;
using test::Rec;

class recmanProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    Engine engine;  // closed again before any child is forked
    Client c(engine);
    ASSERT_EQ(CreateFile(engine, path), 0);
    ASSERT_EQ(c.Open(path), 0);
    for (const char* key : {"A", "B", "C"}) ASSERT_EQ(c.Insert(Rec(key)), 0);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A child that locks record B, reports 'L' and leaves on the next byte it receives, by
  // _exit, without closing anything.
  Child LockingChild() {
    return Child([this](Child& self) {
      Engine engine;
      Client c(engine);
      if (c.Open(path) != 0 || c.Read(op::kGetEqual + op::kSingleLock, "B") != 0) return 1;
      self.Send('L');
      self.Receive();
      _exit(0);
    });
  }

  std::string dir = kvor::test::TempFolder();
  std::string path = dir + "/KRK-XTRA.BTR";
};

TEST_F(recmanProcesses, LockOfAnotherProcessGoesWhenItExits) {
  Child child = LockingChild();
  ASSERT_EQ(child.Receive(), 'L');
  Engine engine;
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  EXPECT_EQ(a.Update(Rec("B", "parent")), status::kRecordLocked);
  EXPECT_EQ(a.Delete(), status::kRecordLocked);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "B"), status::kRecordLocked);
  child.Send('x');
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_EQ(a.Update(Rec("B", "parent")), 0);
}

TEST_F(recmanProcesses, LockOfAKilledProcessGoes) {
  Child child = LockingChild();
  ASSERT_EQ(child.Receive(), 'L');
  Engine engine;
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "B"), status::kRecordLocked);
  ASSERT_EQ(child.Kill(SIGKILL), 128 + SIGKILL);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "B"), 0);
}

TEST_F(recmanProcesses, RecordsWrittenByOneProcessAreReadByAnother) {
  Child writer([this](Child&) {
    Engine engine;
    Client c(engine);
    if (c.Open(path) != 0 || c.Insert(Rec("\xC4PPLE", "\xE4pple")) != 0) return 1;
    if (c.Read(op::kGetEqual, "A") != 0 || c.Update(Rec("A", "child")) != 0) return 2;
    if (c.Read(op::kGetEqual, "C") != 0 || c.Delete() != 0) return 3;
    return 0;
  });
  ASSERT_EQ(writer.Wait(), 0);
  Engine engine;
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetFirst), 0);
  EXPECT_EQ(a.record(), Rec("A", "child"));
  ASSERT_EQ(a.Read(op::kGetNext), 0);
  EXPECT_EQ(a.record(), Rec("B"));
  ASSERT_EQ(a.Read(op::kGetNext), 0);
  EXPECT_EQ(a.record(), Rec("\xC4PPLE", "\xE4pple"));
  EXPECT_EQ(a.Read(op::kGetNext), status::kEndOfFile);
}

TEST_F(recmanProcesses, UpdateByAnotherProcessSinceTheReadConflicts) {
  Child writer([this](Child& self) {
    self.Receive();  // waits until the parent has read B
    Engine engine;
    Client c(engine);
    if (c.Open(path) != 0 || c.Read(op::kGetEqual, "B") != 0) return 1;
    return c.Update(Rec("B", "child")) == 0 ? 0 : 2;
  });
  Engine engine;
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  writer.Send('g');
  ASSERT_EQ(writer.Wait(), 0);
  EXPECT_EQ(a.Update(Rec("B", "parent")), status::kConflict);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  EXPECT_EQ(a.record(), Rec("B", "child"));
}

}  // namespace
}  // namespace kvor::recman
