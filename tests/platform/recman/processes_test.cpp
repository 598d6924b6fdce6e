// Two processes on one register file: locks and changes seen across the process boundary.
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

using recmanProcesses = test::OnBothStores;
KVOR_ON_BOTH_STORES(recmanProcesses);

TEST_P(recmanProcesses, LocksAndChangesOfAnotherProcess) {
  const std::string path = place.Name("KRK-XTRA.BTR");
  const std::string registers = place.registers();
  {
    Engine engine({}, registers);  // closed again before the child is forked
    Client c(engine);
    ASSERT_EQ(CreateFile(engine, path), 0);
    ASSERT_EQ(c.Open(path), 0);
    for (const char* key : {"A", "B", "C"}) ASSERT_EQ(c.Insert(Rec(key)), 0);
  }
  // Locks B and says 'L'; on the next byte updates B, locks C and says 'U'; then waits to be
  // killed, without closing anything.
  Child child([&](Child& self) {
    Engine engine({}, registers);
    Client c(engine);
    if (c.Open(path) != 0 || c.Read(op::kGetEqual + op::kSingleLock, "B") != 0) return 1;
    self.Send('L');
    self.Receive();
    if (c.Update(Rec("B", "child")) != 0) return 2;
    if (c.Read(op::kGetEqual + op::kSingleLock, "C") != 0) return 3;
    self.Send('U');
    self.Receive();
    return 0;
  });
  ASSERT_EQ(child.Receive(), 'L');
  Engine engine({}, registers);
  Client a(engine);
  ASSERT_EQ(a.Open(path), 0);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  EXPECT_EQ(a.Update(Rec("B", "parent")), status::kRecordLocked);
  EXPECT_EQ(a.Delete(), status::kRecordLocked);
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "B"), status::kRecordLocked);

  // B changed by the child since a read it.
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'U');
  EXPECT_EQ(a.Update(Rec("B", "parent")), status::kConflict);
  ASSERT_EQ(a.Read(op::kGetEqual, "B"), 0);
  EXPECT_EQ(a.record(), Rec("B", "child"));

  // The lock of a killed process goes with it.
  EXPECT_EQ(a.Read(op::kGetEqual + op::kSingleLock, "C"), status::kRecordLocked);
  ASSERT_EQ(child.Kill(SIGKILL), 128 + SIGKILL);
  // A server lets it go once it has seen the connection close.
  EXPECT_TRUE(
      kvor::test::WaitUntil([&] { return a.Read(op::kGetEqual + op::kSingleLock, "C") == 0; }, 5));
  EXPECT_EQ(a.Update(Rec("C", "parent")), 0);
}

}  // namespace
}  // namespace kvor::recman
