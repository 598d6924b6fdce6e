#include "registers/layouts.h"

#include <gtest/gtest.h>

#include <set>

namespace kvor::registers {
namespace {

// Fields per register, in channel order, as the register descriptions count them.
constexpr int kFieldCounts[kRegisterCount] = {87, 96, 88, 49, 80, 85, 82, 9, 9,  16,
                                              20, 8,  9,  22, 91, 15, 12, 9, 40, 29,
                                              38, 95, 46, 77, 43, 56, 16, 14};

TEST(Layouts, FieldsTileEveryRecordFromOneToTheRecordEnd) {
  ASSERT_EQ(AllLayouts().size(), 28u);
  for (const Layout& l : AllLayouts()) {
    SCOPED_TRACE(l.code);
    EXPECT_EQ(&LayoutOfChannel(l.channel), &l);
    EXPECT_EQ(static_cast<int>(l.fields.size()), kFieldCounts[l.channel - 1]);
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
