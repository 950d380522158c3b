// The ICMP echo against the fake (natively) and the IP helper (under Wine), on loopback only:
// an echo that goes unanswered is tested inside a network namespace of its own
// (tests/wine/lan_discovery_check.sh).
#include <gtest/gtest.h>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class IcmpContract : public ::testing::TestWithParam<Implementation<Icmp>> {
 protected:
  void SetUp() override {
    icmp = GetParam().make();
    ASSERT_TRUE(icmp);
    facility = icmp->Open();
    ASSERT_TRUE(facility);
  }

  std::unique_ptr<Icmp> icmp;
  std::unique_ptr<IcmpFacility> facility;
  const char data[32] = "Fill for test ICMP data";
};

TEST_P(IcmpContract, LoopbackAnswersOneEcho) {
  EXPECT_EQ(1u, facility->SendEcho(kLoopbackAddress, data, sizeof data, 256, 1000));
  EXPECT_EQ(1u, facility->SendEcho(0x7F000002, data, sizeof data, 256, 1000)) << "127.0.0.2";
}

TEST_P(IcmpContract, AReplyBufferTooSmallForOneReplyGetsNone) {
  EXPECT_EQ(0u, facility->SendEcho(kLoopbackAddress, data, sizeof data, 8, 1000));
}

INSTANTIATE_TEST_SUITE_P(All, IcmpContract, ::testing::ValuesIn(IcmpImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
