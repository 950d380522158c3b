// The registry service against the fake (natively) and the Win32 implementation (under Wine),
// each in a key of its own under HKEY_LOCAL_MACHINE that the test removes.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class RegistryContract : public ::testing::TestWithParam<Implementation<RegistryUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    registry = subject->registry.get();
  }
  void TearDown() override {
    if (subject) registry->DeleteMachineKeyTree(subject->base);
  }

  WString At(const WString& relative) const { return subject->base + u"\\" + relative; }

  std::unique_ptr<RegistryUnderTest> subject;
  Registry* registry = nullptr;
};

TEST_P(RegistryContract, ValuesReadBackWithTheirTypeAndExactSize) {
  auto key = registry->CreateMachineKey(At(u"Values"), kRegistryReadWrite);
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->SetValue(u"COM3:", RegistryValue::String(u"115200,n,8,1")));
  EXPECT_TRUE(key->SetValue(u"PortNumber", RegistryValue::Dword(9100)));
  EXPECT_TRUE(key->SetValue(u"Empty", RegistryValue::String(u"")));
  const char raw[] = {1, 0, 2};
  EXPECT_TRUE(key->SetValue(u"Raw", kRegBinary, raw, sizeof raw));
  key.reset();

  auto reopened = registry->OpenMachineKey(At(u"Values"), kRegistryRead);
  ASSERT_TRUE(reopened);
  RegistryValue value;
  ASSERT_EQ(RegistryStatus::kOk, reopened->QueryValue(u"com3:", 260, value)) << "case ignored";
  EXPECT_EQ(kRegSz, value.type);
  EXPECT_EQ(26u, value.data.size()) << "12 characters and the terminator, in bytes";
  EXPECT_EQ(u"115200,n,8,1", value.Text());
  ASSERT_EQ(RegistryStatus::kOk, reopened->QueryValue(u"PortNumber", 261, value));
  EXPECT_EQ(kRegDword, value.type);
  EXPECT_EQ(9100u, value.Number());
  ASSERT_EQ(RegistryStatus::kOk, reopened->QueryValue(u"Empty", 100, value));
  EXPECT_EQ(2u, value.data.size());
  ASSERT_EQ(RegistryStatus::kOk, reopened->QueryValue(u"Raw", 3, value));
  EXPECT_EQ(std::string(raw, 3), value.data);
}

TEST_P(RegistryContract, BuffersThatAreTooSmallAndMissingValuesLeaveTheOutputAlone) {
  auto key = registry->CreateMachineKey(At(u"Small"), kRegistryReadWrite);
  ASSERT_TRUE(key);
  // 49 characters and the terminator fill a 100-byte buffer exactly; one more does not fit.
  ASSERT_TRUE(key->SetValue(u"Fits", RegistryValue::String(WString(49, u'x'))));
  ASSERT_TRUE(key->SetValue(u"TooLong", RegistryValue::String(WString(50, u'x'))));
  RegistryValue value = RegistryValue::Dword(7);
  EXPECT_EQ(RegistryStatus::kOk, key->QueryValue(u"Fits", 100, value));
  EXPECT_EQ(WString(49, u'x'), value.Text());
  value = RegistryValue::Dword(7);
  EXPECT_EQ(RegistryStatus::kMoreData, key->QueryValue(u"TooLong", 100, value));
  EXPECT_EQ(7u, value.Number());
  EXPECT_EQ(RegistryStatus::kNotFound, key->QueryValue(u"Absent", 100, value));
  EXPECT_EQ(7u, value.Number());
}

TEST_P(RegistryContract, MissingKeysAreNotFoundAndNotMadeByOpening) {
  RegistryStatus status = RegistryStatus::kOk;
  EXPECT_FALSE(registry->OpenMachineKey(At(u"Nowhere\\Deeper"), kRegistryRead, &status));
  EXPECT_EQ(RegistryStatus::kNotFound, status);
  EXPECT_FALSE(registry->OpenMachineKey(At(u"Nowhere"), kRegistryRead));
}

TEST_P(RegistryContract, CreatingAnExistingSubkeyOpensItWithItsValues) {
  auto parent = registry->CreateMachineKey(At(u"Ports"), kRegistryReadWrite);
  ASSERT_TRUE(parent);
  auto first = parent->CreateSubkey(u"127.0.0.1", kRegistryReadWrite);
  ASSERT_TRUE(first);
  ASSERT_TRUE(first->SetValue(u"HostName", RegistryValue::String(u"127.0.0.1")));
  ASSERT_TRUE(first->SetValue(u"PortNumber", RegistryValue::Dword(1)));
  first.reset();
  auto again = parent->CreateSubkey(u"127.0.0.1", kRegistryReadWrite);
  ASSERT_TRUE(again);
  ASSERT_TRUE(again->SetValue(u"PortNumber", RegistryValue::Dword(9100)));
  RegistryValue value;
  EXPECT_EQ(RegistryStatus::kOk, again->QueryValue(u"HostName", 260, value));
  EXPECT_EQ(RegistryStatus::kOk, again->QueryValue(u"PortNumber", 4, value));
  EXPECT_EQ(9100u, value.Number());

  auto relative = parent->OpenSubkey(u"127.0.0.1", kRegistryRead);
  ASSERT_TRUE(relative);
  EXPECT_EQ(RegistryStatus::kOk, relative->QueryValue(u"hostname", 260, value));
  EXPECT_FALSE(parent->OpenSubkey(u"127.0.0.2", kRegistryRead)) << "opening makes nothing";

  WString name;
  EXPECT_EQ(RegistryStatus::kOk, parent->EnumSubkey(0, 260, name));
  EXPECT_EQ(u"127.0.0.1", name);
  EXPECT_EQ(RegistryStatus::kNoMoreItems, parent->EnumSubkey(1, 260, name))
      << "one subkey, however often it is created";
}

TEST_P(RegistryContract, EnumerationVisitsEveryValueAndEndsWithNoMoreItems) {
  auto key = registry->CreateMachineKey(At(u"SERIALCOMM"), kRegistryReadWrite);
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->SetValue(u"\\Device\\Serial0", RegistryValue::String(u"COM1")));
  ASSERT_TRUE(key->SetValue(u"\\Device\\BthModem0", RegistryValue::String(u"COM5")));
  ASSERT_TRUE(key->SetValue(u"\\Device\\Serial2", RegistryValue::String(u"COM3")));
  std::vector<std::pair<WString, WString>> seen;
  uint32_t index = 0;
  WString name;
  RegistryValue value;
  for (; key->EnumValue(index, 260, 260, name, value) == RegistryStatus::kOk; ++index) {
    seen.emplace_back(name, value.Text());
  }
  EXPECT_EQ(RegistryStatus::kNoMoreItems, key->EnumValue(index, 260, 260, name, value));
  std::sort(seen.begin(), seen.end());
  const std::vector<std::pair<WString, WString>> expected = {{u"\\Device\\BthModem0", u"COM5"},
                                                             {u"\\Device\\Serial0", u"COM1"},
                                                             {u"\\Device\\Serial2", u"COM3"}};
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(RegistryStatus::kMoreData, key->EnumValue(0, 4, 260, name, value))
      << "a name longer than its buffer";

  EXPECT_TRUE(key->DeleteValue(u"\\device\\bthmodem0")) << "case ignored";
  EXPECT_FALSE(key->DeleteValue(u"\\Device\\BthModem0")) << "gone already";
  EXPECT_EQ(RegistryStatus::kNotFound, key->QueryValue(u"\\Device\\BthModem0", 260, value));
  EXPECT_EQ(RegistryStatus::kOk, key->EnumValue(1, 260, 260, name, value));
  EXPECT_EQ(RegistryStatus::kNoMoreItems, key->EnumValue(2, 260, 260, name, value));
}

TEST_P(RegistryContract, SubkeysEnumerateByNameWhateverTheirCase) {
  for (const char16_t* name : {u"Dev_B", u"dev_a", u"Dev_C"}) {
    ASSERT_TRUE(registry->CreateMachineKey(At(u"Tree\\") + name + u"\\Leaf", kRegistryReadWrite));
  }
  auto tree = registry->OpenMachineKey(At(u"Tree"), kRegistryRead);
  ASSERT_TRUE(tree);
  std::vector<WString> names;
  WString name;
  for (uint32_t i = 0; tree->EnumSubkey(i, 260, name) == RegistryStatus::kOk; ++i) {
    names.push_back(name);
  }
  EXPECT_EQ((std::vector<WString>{u"dev_a", u"Dev_B", u"Dev_C"}), names);
  EXPECT_EQ(RegistryStatus::kMoreData, tree->EnumSubkey(0, 5, name))
      << "five characters need a buffer of six";
}

TEST_P(RegistryContract, DeletingATreeRemovesEveryLevel) {
  ASSERT_TRUE(registry->CreateMachineKey(At(u"Gone\\A\\B"), kRegistryReadWrite));
  ASSERT_TRUE(registry->CreateMachineKey(At(u"Gone\\C"), kRegistryReadWrite));
  EXPECT_TRUE(registry->DeleteMachineKeyTree(At(u"Gone")));
  EXPECT_FALSE(registry->OpenMachineKey(At(u"Gone"), kRegistryRead));
  EXPECT_FALSE(registry->DeleteMachineKeyTree(At(u"Gone")));
}

INSTANTIATE_TEST_SUITE_P(All, RegistryContract, ::testing::ValuesIn(RegistryImplementations()),
                         ImplementationName());

TEST(MachineKeyAccess, TheSixtyFourBitViewOnlyUnderWow64) {
  struct Row {
    uint32_t access;
    bool wow64;
    uint32_t expected;
  };
  const Row rows[] = {
      {kRegistryRead, false, 0x20019},
      {kRegistryReadWrite, false, 0x2001F},
      {kRegistryRead, true, 0x20119},
      {kRegistryReadWrite, true, 0x2011F},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, MachineKeyAccess(row.access, row.wow64))
        << std::hex << row.access << " wow64=" << row.wow64;
  }
}

TEST(RegistryValue, TextStopsAtTheFirstZeroAndNumberNeedsFourBytes) {
  RegistryValue value;
  value.data = std::string(
      "C\0O\0M\0"
      "7\0\0\0X\0",
      12);
  EXPECT_EQ(u"COM7", value.Text());
  value.data = std::string("A\0B", 3);  // odd length, no terminator
  EXPECT_EQ(u"A", value.Text());
  value.data = std::string("\x8C\x23\0", 3);
  EXPECT_EQ(0u, value.Number());
  EXPECT_EQ(std::string("\x8C\x23\0\0", 4), RegistryValue::Dword(9100).data);
}

}  // namespace
}  // namespace kestrava
