// The process service against the fake (natively) and the Win32 implementation (under Wine).
#include <gtest/gtest.h>

#include <chrono>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class ProcessContract : public ::testing::TestWithParam<Implementation<Process>> {
 protected:
  std::unique_ptr<Process> process = GetParam().make();
  // Unique per run, so that a leftover from another run cannot answer for this one.
  WString name =
      u"kestrava-contract-" +
      WidenAscii(std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
};

TEST_P(ProcessContract, ProgramFilePathIsAnAbsoluteProgramPath) {
  const WString path = process->ProgramFilePath();
  ASSERT_GT(path.size(), 7u);
  EXPECT_EQ(u":\\", path.substr(1, 2));
  WString extension = path.substr(path.size() - 4);
  for (WChar& c : extension) c = c >= u'A' && c <= u'Z' ? static_cast<WChar>(c + 32) : c;
  EXPECT_EQ(u".exe", extension);
}

// The test runs as the user logged on where it runs: both accounts are named, "DOMAIN\\name",
// and are the same account.
TEST_P(ProcessContract, TheProcessRunsAsTheUserLoggedOnWhereItRuns) {
  const SessionAccounts accounts = process->Accounts();
  EXPECT_NE(WString::npos, accounts.process.find(u'\\')) << Utf16ToUtf8(accounts.process);
  EXPECT_EQ(UpperAscii(accounts.process), UpperAscii(accounts.loggedOn));
}

TEST_P(ProcessContract, SecondMarkerOfTheSameNameSeesTheFirst) {
  bool existed = true;
  auto first = process->CreateInstanceMarker(name, existed);
  EXPECT_FALSE(existed);
  {
    auto second = process->CreateInstanceMarker(name, existed);
    EXPECT_TRUE(existed);
  }
  auto other = process->CreateInstanceMarker(name + u"-other", existed);
  EXPECT_FALSE(existed);
  first.reset();
  auto again = process->CreateInstanceMarker(name, existed);
  EXPECT_FALSE(existed) << "the name is free once every holder has let go";
}

TEST_P(ProcessContract, LibrariesInitialise) {
  EXPECT_TRUE(process->InitialiseCommonControls(8, 0xFF));
  EXPECT_TRUE(process->StartSockets());
}

INSTANTIATE_TEST_SUITE_P(All, ProcessContract, ::testing::ValuesIn(ProcessImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
