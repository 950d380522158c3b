#include <gtest/gtest.h>

#include "net/local_addresses.h"
#include "tests/fakes/fake_adapters.h"
#include "tests/fakes/fake_process.h"

namespace kestrava {
namespace {

using Bytes = std::vector<uint8_t>;
const Bytes kPlainHardware = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};

TEST(AdapterRules, WhichAdaptersAreLeftOut) {
  struct Row {
    const char* description;
    Bytes hardware;
    std::vector<std::string> addresses;
    bool excluded;
  };
  const Row rows[] = {
      {"Intel(R) Ethernet Connection", kPlainHardware, {"192.168.1.100"}, false},
      {"Hyper-V Virtual Ethernet Adapter", kPlainHardware, {"172.20.0.1"}, true},
      {"VIRTUAL", kPlainHardware, {"10.0.0.2"}, true},
      {"Virtual", kPlainHardware, {"10.0.0.2"}, true},
      {"TAP-vIrTuAl adapter", kPlainHardware, {"10.0.0.2"}, true},
      {"Virtua", kPlainHardware, {"10.0.0.2"}, false},
      {"Virtu al", kPlainHardware, {"10.0.0.2"}, false},
      {"Realtek PCIe GbE", {0x00, 0x0C, 0x28, 0, 0, 1}, {"10.0.0.2"}, false},
      {"Realtek PCIe GbE", {0x01, 0x0C, 0x29, 0, 0, 1}, {"10.0.0.2"}, false},
      {"Wi-Fi", kPlainHardware, {"10.0.0.2", "0.0.0.0"}, true},
      {"Wi-Fi", kPlainHardware, {"0.0.0.0"}, true},
      {"Wi-Fi", kPlainHardware, {"0.0.0.1"}, false},
      {"Bluetooth PAN", {0x00, 0x05}, {"10.0.0.2"}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.excluded,
              IsExcludedAdapter(MakeAdapter(row.description, row.hardware, row.addresses)))
        << row.description << " " << row.addresses.back();
  }
  const Bytes prefixes[] = {{0x00, 0x05, 0x69}, {0x00, 0x0C, 0x29}, {0x00, 0x50, 0x56},
                            {0x00, 0x1C, 0x14}, {0x00, 0x1C, 0x42}, {0x00, 0x03, 0xFF},
                            {0x00, 0x0F, 0x4B}, {0x00, 0x16, 0x3E}, {0x08, 0x00, 0x27}};
  for (const Bytes& prefix : prefixes) {
    Bytes hardware = prefix;
    hardware.insert(hardware.end(), {0x12, 0x34, 0x56});
    EXPECT_TRUE(IsExcludedAdapter(MakeAdapter("Ethernet", hardware, {"10.0.0.2"})))
        << std::hex << int(prefix[0]) << "-" << int(prefix[1]) << "-" << int(prefix[2]);
  }
}

class LocalAddressesTest : public ::testing::Test {
 protected:
  bool Refresh() {
    LocalSegments segments = {{0x01020304, 0xFFFFFFFF}};
    const bool refreshed = RefreshLocalAddresses(table, process, segments);
    list = SegmentsText(segments);
    return refreshed;
  }

  FakeAdapterTable table;
  FakeProcess process;
  std::string list;
};

TEST_F(LocalAddressesTest, EveryAddressOfEveryAdapterTakenWithATraceOfItsHardwareAddress) {
  table.adapters = {
      MakeAdapter("Ethernet", kPlainHardware, {"10.0.0.2/16", "10.0.0.3/30"}),
      MakeAdapter("VMware Virtual Ethernet Adapter", {0x00, 0x50, 0x56, 1, 2, 3}, {"192.168.9.1"}),
      MakeAdapter("Wi-Fi", {0xA4, 0x0b, 0x0c, 0xFF, 0x00, 0x01}, {"192.168.1.100"}),
      MakeAdapter("Unplugged", {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, {"0.0.0.0"}),
  };
  ASSERT_TRUE(Refresh());
  EXPECT_EQ("10.0.0.2/255.255.0.0_10.0.0.3/255.255.255.252_192.168.1.100/255.255.255.0_", list)
      << "each address with its own mask";
  EXPECT_EQ("00-1A-2B-3C-4D-5E\nA4-0B-0C-FF-00-01\n", process.standardOutput);
}

TEST_F(LocalAddressesTest, TheFirstQueryHoldsOneRecordAndTheRetryTakesTheAskedSize) {
  table.adapters = {MakeAdapter("Ethernet", kPlainHardware, {"10.0.0.2"})};
  ASSERT_TRUE(Refresh());
  EXPECT_EQ((std::vector<uint32_t>{648}), table.queries);

  table.adapters.push_back(MakeAdapter("Wi-Fi", kPlainHardware, {"10.1.0.2", "10.2.0.2"}));
  table.queries.clear();
  ASSERT_TRUE(Refresh());
  EXPECT_EQ((std::vector<uint32_t>{648, 648 + 648 + 40}), table.queries);
  EXPECT_EQ("10.0.0.2/255.255.255.0_10.1.0.2/255.255.255.0_10.2.0.2/255.255.255.0_", list);
}

TEST_F(LocalAddressesTest,
       TheSearchReadsTheSameSegmentsWithoutATraceInOneQueryAndAMissingMaskIsA24) {
  table.adapters = {MakeAdapter("Ethernet", kPlainHardware, {"10.50.3.7/16", "172.16.4.1"}),
                    MakeAdapter("VPN", {0x02, 0, 0, 0, 0, 1}, {"10.8.0.6/30"})};
  table.adapters[0].ipMasks[1] = "";  // a mask the system did not give
  LocalSegments segments;
  uint32_t capacity = 0;
  ASSERT_TRUE(ReadLocalSegments(table, segments, capacity));
  EXPECT_EQ("10.50.3.7/255.255.0.0_172.16.4.1/255.255.255.0_10.8.0.6/255.255.255.252_",
            SegmentsText(segments));
  EXPECT_TRUE(process.standardOutput.empty());
  EXPECT_EQ((std::vector<uint32_t>{648, 648 + 40 + 648}), table.queries);
  table.queries.clear();
  ASSERT_TRUE(ReadLocalSegments(table, segments, capacity));
  EXPECT_EQ((std::vector<uint32_t>{648 + 40 + 648}), table.queries)
      << "the next read asks with the size the system wanted";
  ASSERT_TRUE(Refresh());
  EXPECT_EQ(SegmentsText(segments), list);
  EXPECT_FALSE(process.standardOutput.empty());
}

TEST_F(LocalAddressesTest, FailuresLeaveTheListAsItWas) {
  struct Row {
    const char* what;
    std::function<void()> script;
  };
  const Row rows[] = {
      {"no adapter at all", [this] { table.adapters.clear(); }},
      {"the system fails", [this] { table.failWith = AdapterStatus::kFailed; }},
      {"an adapter arrives between the two queries",
       [this] {
         table.adapters = {MakeAdapter("A", kPlainHardware, {"10.0.0.2"}),
                           MakeAdapter("B", kPlainHardware, {"10.0.0.3"})};
         table.onQuery = [this] {
           if (table.queries.size() == 2) {
             table.adapters.push_back(MakeAdapter("C", kPlainHardware, {"10.0.0.4"}));
           }
         };
       }},
  };
  for (const Row& row : rows) {
    table = FakeAdapterTable();
    row.script();
    EXPECT_FALSE(Refresh()) << row.what;
    EXPECT_EQ("1.2.3.4/255.255.255.255_", list) << row.what;
    EXPECT_LE(table.queries.size(), 2u) << row.what << ": one retry at most";
  }
  EXPECT_TRUE(process.standardOutput.empty());
}

}  // namespace
}  // namespace kestrava
