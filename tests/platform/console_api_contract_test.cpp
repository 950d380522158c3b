// The console calls against the strict fake (natively) and the Win32 implementation (under
// Wine, in a console of the test's own): what each kind of handle is called, what arrives
// where, the share rule of CONOUT$ (which Wine does not enforce) and Ctrl+C.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/platform/console_implementations.h"

namespace kestrava {
namespace {

class ConsoleContract : public ::testing::TestWithParam<Implementation<ConsoleUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    if (!subject) GTEST_SKIP() << "no console of the test's own could be made here";
    api = subject->api.get();
  }
  void TearDown() override {
    if (subject && subject->cleanup) subject->cleanup();
  }

  std::unique_ptr<ConsoleUnderTest> subject;
  ConsoleApi* api = nullptr;
};

TEST_P(ConsoleContract, EachKindOfHandleIsNamedAsTheSystemNamesIt) {
  struct Row {
    const char* what;
    ConsoleHandle handle;
    HandleKind kind;
    bool console;
  };
  const Row rows[] = {
      {"a file", subject->makeFile(), HandleKind::kDisk, false},
      {"a pipe", subject->makePipe(), HandleKind::kPipe, false},
      {"NUL", subject->makeNul(), HandleKind::kChar, false},
      {"the console", api->StandardOutput(), HandleKind::kChar, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_NE(kNoHandle, row.handle);
    EXPECT_EQ(row.kind, api->KindOf(row.handle));
    EXPECT_EQ(row.console, api->IsConsole(row.handle));
  }
  const ConsoleHandle closed = rows[0].handle;
  for (size_t i = 0; i + 1 < std::size(rows); ++i) api->Close(rows[i].handle);
  EXPECT_EQ(HandleKind::kInvalid, api->KindOf(closed)) << "a closed handle";
}

TEST_P(ConsoleContract, BytesReachAPipeAndAFileAsWritten) {
  const std::string bytes = Utf16ToUtf8(u"完成：RT-58C（端口 COM3:）\r\n");
  const ConsoleHandle pipe = subject->makePipe();
  const ConsoleHandle file = subject->makeFile();
  EXPECT_TRUE(api->WriteBytes(pipe, bytes));
  EXPECT_TRUE(api->WriteBytes(file, bytes));
  api->Close(pipe);
  api->Close(file);
  EXPECT_EQ(bytes, subject->readPipe());
  EXPECT_EQ(bytes, subject->readFile());
}

TEST_P(ConsoleContract, TextReachesTheConsoleThroughItsHandleAndThroughConsoleOutput) {
  ASSERT_TRUE(api->WriteConsoleText(api->StandardOutput(), u"détecté: Windows 10 x64\r\n"));
  uint32_t error = 0;
  const ConsoleHandle opened = api->OpenConsoleOutput(kShareRead | kShareWrite, error);
  ASSERT_NE(kNoHandle, opened) << "error " << error;
  EXPECT_TRUE(api->IsConsole(opened));
  EXPECT_TRUE(api->WriteConsoleText(opened, u"ΑΒΓ printers\r\n"));
  api->Close(opened);
  EXPECT_EQ((std::vector<WString>{u"détecté: Windows 10 x64", u"ΑΒΓ printers"}),
            subject->readScreen());
}

TEST_P(ConsoleContract, ConsoleOutputSharedOnlyForWritingDoesNotAdmitTheShellsHandle) {
  uint32_t error = 0;
  const ConsoleHandle opened = api->OpenConsoleOutput(kShareWrite, error);
  if (subject->enforcesShareModes) {
    EXPECT_EQ(kNoHandle, opened);
    EXPECT_EQ(32u, error) << "ERROR_SHARING_VIOLATION";
  } else {
    // Wine's console opens it anyway: only the fake shows Windows' refusal.
    EXPECT_NE(kNoHandle, opened);
  }
  if (opened != kNoHandle) api->Close(opened);
}

TEST_P(ConsoleContract, AProcessAttachedAlreadyStaysAttached) {
  EXPECT_TRUE(api->AttachToParentConsole());
  EXPECT_TRUE(api->IsConsole(api->StandardOutput()));
}

TEST_P(ConsoleContract, CtrlCAtTheConsoleIsNotedAndTheProcessGoesOn) {
  ASSERT_TRUE(api->ListenForControlSignals());
  subject->pressCtrlC();
  // The system runs the handler on a thread of its own.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!api->ControlSignalNoted() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(api->ControlSignalNoted());
}

INSTANTIATE_TEST_SUITE_P(All, ConsoleContract, ::testing::ValuesIn(ConsoleImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
