// The resolution table against the fake (natively) and the IP helper (under Wine, whose
// FlushIpNetTable is not implemented and refuses every interface).
#include <gtest/gtest.h>

#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

TEST(ArpTableContract, TheTableReadsAndAnUnknownInterfaceIsNotFlushed) {
  for (const Implementation<ArpTable>& implementation : ArpTableImplementations()) {
    std::unique_ptr<ArpTable> table = implementation.make();
    std::vector<ArpRow> rows = {{0, 0x7FFFFFF0}};
    ASSERT_TRUE(table->ReadSorted(rows)) << implementation.name;
    for (const ArpRow& row : rows) EXPECT_NE(0x7FFFFFF0u, row.interfaceIndex);
    EXPECT_FALSE(table->FlushInterface(0x7FFFFFF0)) << implementation.name;
  }
}

}  // namespace
}  // namespace kestrava
