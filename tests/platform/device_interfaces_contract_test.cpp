// The device-interface service against the fake (natively) and SetupAPI (under Wine), on an
// interface class of the test's own whose devices the test makes and removes.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/comm_implementations.h"

namespace kestrava {
namespace {

WString Lower(WString text) {
  for (WChar& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<WChar>(c - u'A' + u'a');
  }
  return text;
}

class DeviceInterfacesContract : public ContractWithCleanup<DeviceInterfacesUnderTest> {};

TEST_P(DeviceInterfacesContract, AClassWithoutDevicesHasAnEmptySet) {
  auto set = subject->service->PresentInterfaces(kContractInterfaceClass);
  ASSERT_TRUE(set);
  uint32_t flags = 77;
  EXPECT_FALSE(set->Interface(0, flags));
  EXPECT_EQ(77u, flags) << "untouched";
  WString path = u"untouched";
  EXPECT_FALSE(set->DetailPath(0, path));
  EXPECT_EQ(u"untouched", path);
}

TEST_P(DeviceInterfacesContract, PresentInterfacesAreActiveWithTheirPaths) {
  const WString first = subject->addInterface(1);
  const WString second = subject->addInterface(2);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(0u, Lower(first).find(u"\\\\?\\root#kestravacontract#"));
  EXPECT_NE(WString::npos, Lower(first).find(u"#{6b1c2f4e-2d3a-4c55-9a10-112233445566}"));

  auto set = subject->service->PresentInterfaces(kContractInterfaceClass);
  ASSERT_TRUE(set);
  std::vector<WString> paths;
  uint32_t index = 0;
  for (uint32_t flags = 0; set->Interface(index, flags); ++index) {
    EXPECT_EQ(kInterfaceActive, flags) << index;
    WString path;
    ASSERT_TRUE(set->DetailPath(index, path)) << index;
    paths.push_back(Lower(path));
  }
  EXPECT_EQ(2u, index);
  std::sort(paths.begin(), paths.end());
  std::vector<WString> expected = {Lower(first), Lower(second)};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, paths);
  uint32_t flags = 0;
  EXPECT_FALSE(set->Interface(2, flags));
}

TEST_P(DeviceInterfacesContract, ASetDoesNotSeeInterfacesMadeAfterIt) {
  ASSERT_FALSE(subject->addInterface(1).empty());
  auto before = subject->service->PresentInterfaces(kContractInterfaceClass);
  ASSERT_FALSE(subject->addInterface(2).empty());
  uint32_t flags = 0;
  EXPECT_TRUE(before->Interface(0, flags));
  EXPECT_FALSE(before->Interface(1, flags));
  auto after = subject->service->PresentInterfaces(kContractInterfaceClass);
  EXPECT_TRUE(after->Interface(1, flags));
}

TEST_P(DeviceInterfacesContract, OtherClassesDoNotListTheTestsDevices) {
  ASSERT_FALSE(subject->addInterface(1).empty());
  InterfaceClass other = kContractInterfaceClass;
  other.data4[7] = 0x67;
  auto set = subject->service->PresentInterfaces(other);
  ASSERT_TRUE(set);
  uint32_t flags = 0;
  EXPECT_FALSE(set->Interface(0, flags));
}

INSTANTIATE_TEST_SUITE_P(All, DeviceInterfacesContract,
                         ::testing::ValuesIn(DeviceInterfacesImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
