#include "registers/layouts.h"

#include <gtest/gtest.h>

#include <set>

namespace kvor::registers {
namespace {

TEST(Layouts, FieldsTileEveryRecordFromOneToTheRecordEnd) {
  ASSERT_EQ(AllLayouts().size(), 28u);
  for (const Layout& l : AllLayouts()) {
    SCOPED_TRACE(l.code);
    EXPECT_EQ(&LayoutOfChannel(l.channel), &l);
    int next = 1;
    std::set<std::string> names;
    for (const Field& f : l.fields) {
      EXPECT_EQ(f.position, next) << f.name;
      EXPECT_GT(f.width, 0) << f.name;
      EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
      next = f.position + f.width;
    }
    EXPECT_EQ(next - 1, l.record_end);
    EXPECT_GT(l.key_length, 0);
    EXPECT_LE(l.key_length, l.record_end);
  }
}

}  // namespace
}  // namespace kvor::registers
