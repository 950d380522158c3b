// The adapter table against the fake (natively) and GetAdaptersInfo (under Wine): the sizing
// protocol the discovery relies on, and records that hold together.
#include <gtest/gtest.h>

#include "platform/ipv4_text.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class AdapterTableContract : public ::testing::TestWithParam<Implementation<AdapterTable>> {
 protected:
  std::unique_ptr<AdapterTable> table = GetParam().make();
};

TEST_P(AdapterTableContract, ATooSmallBufferAsksForTheSizeThatThenSuffices) {
  std::vector<AdapterRecord> adapters;
  uint32_t required = 0;
  const AdapterStatus first = table->Query(0, required, adapters);
  if (first == AdapterStatus::kNoData) GTEST_SKIP() << "this system has no IPv4 adapter";
  ASSERT_EQ(AdapterStatus::kBufferTooSmall, first);
  EXPECT_TRUE(adapters.empty()) << "nothing is returned with the refusal";
  EXPECT_GE(required, kAdapterRecordSize);
  ASSERT_EQ(AdapterStatus::kOk, table->Query(required, required, adapters));
  ASSERT_FALSE(adapters.empty());
  for (const AdapterRecord& adapter : adapters) {
    EXPECT_LE(adapter.hardwareLength, 8u) << adapter.description;
    for (uint32_t i = adapter.hardwareLength; i < 8; ++i) {
      EXPECT_EQ(0, adapter.hardwareAddress[i]) << adapter.description;
    }
    ASSERT_FALSE(adapter.ipAddresses.empty()) << adapter.description;
    for (const std::string& address : adapter.ipAddresses) {
      EXPECT_TRUE(ParseDottedIpv4(address)) << adapter.description << ": " << address;
    }
    ASSERT_EQ(adapter.ipAddresses.size(), adapter.ipMasks.size()) << adapter.description;
    for (const std::string& mask : adapter.ipMasks) {
      const std::optional<uint32_t> bits = ParseDottedIpv4(mask);
      ASSERT_TRUE(bits) << adapter.description << ": " << mask;
      // The ones of a mask come first, then only zeros: its zeros plus one is a power of two.
      const uint32_t zeros = ~*bits;
      EXPECT_EQ(0u, zeros & (zeros + 1)) << adapter.description << ": " << mask;
    }
  }
}

TEST_P(AdapterTableContract, ABufferOfTheAskedSizeIsEnoughFromTheFirstRecordSizeOn) {
  std::vector<AdapterRecord> adapters;
  uint32_t required = 0;
  AdapterStatus status = table->Query(kAdapterRecordSize, required, adapters);
  if (status == AdapterStatus::kNoData) GTEST_SKIP() << "this system has no IPv4 adapter";
  if (status == AdapterStatus::kBufferTooSmall) {
    EXPECT_GT(required, kAdapterRecordSize);
    status = table->Query(required, required, adapters);
  }
  EXPECT_EQ(AdapterStatus::kOk, status);
  EXPECT_FALSE(adapters.empty());
}

INSTANTIATE_TEST_SUITE_P(All, AdapterTableContract,
                         ::testing::ValuesIn(AdapterTableImplementations()), ImplementationName());

}  // namespace
}  // namespace kestrava
