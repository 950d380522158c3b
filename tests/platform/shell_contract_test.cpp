// The shell service against the fake (natively) and the Win32 implementation (under Wine), with
// a probe program that reports how it was started, in a scratch folder the test removes.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

constexpr const char* kHidden = "flags=1 show=0";  // STARTF_USESHOWWINDOW, SW_HIDE
constexpr uint32_t kGenerousMs = 60000;

class ShellContract : public ::testing::TestWithParam<Implementation<ShellUnderTest>> {
 protected:
  void SetUp() override {
    subject = GetParam().make();
    ASSERT_TRUE(subject);
    shell = subject->shell.get();
  }
  void TearDown() override {
    if (subject && subject->cleanup) subject->cleanup();
  }

  std::optional<std::string> Read(const WString& path) {
    auto file = subject->files->OpenForRead(path);
    if (!file) return std::nullopt;
    std::string text(64, '\0');
    const int64_t got = file->Read(text.data(), text.size());
    if (got < 0) return std::nullopt;
    text.resize(static_cast<size_t>(got));
    return text;
  }

  std::unique_ptr<ShellUnderTest> subject;
  Shell* shell = nullptr;
};

TEST_P(ShellContract, AProgramRunsHiddenAndTheCallReturnsAfterItsEndWithItsExitCode) {
  const WString report = subject->scratch + u"report.txt";
  // The probe waits 300 ms before it writes: the report is there only if the call waited.
  const std::optional<uint32_t> exitCode =
      shell->RunHiddenAndWait(subject->probe, report + u" 7 300", kGenerousMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(7u, *exitCode);
  EXPECT_EQ(kHidden, Read(report).value_or("no report"));
}

TEST_P(ShellContract, AProgramThatOutlivesItsWaitIsEndedBeforeItGoesOn) {
  const WString report = subject->scratch + u"late.txt";
  const auto start = std::chrono::steady_clock::now();
  // The probe would write after 30 s; ended after half a second, it never does.
  EXPECT_FALSE(shell->RunHiddenAndWait(subject->probe, report + u" 7 30000", 500));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(Read(report)) << "the process was left running";
}

TEST_P(ShellContract, WhatTheProgramWritesIsKeptWhenAskedFor) {
  const WString report = subject->scratch + u"said.txt";
  WString output = u"left from before";
  const std::optional<uint32_t> exitCode =
      shell->RunHiddenAndWait(subject->probe, report + u" 4 0 spooler", kGenerousMs, &output);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(4u, *exitCode);
  // Its standard output and its standard error, in the order written.
  EXPECT_EQ(u"spooler\r\nerror\r\n", output);
  const std::string text = Read(report).value_or("no report");
  EXPECT_EQ("show=0", text.substr(text.size() - 6)) << text;
}

TEST_P(ShellContract, CtrlCAtThisProcesssConsoleDoesNotReachTheProgram) {
  if (!subject->ownConsole()) GTEST_SKIP() << "no console of the test's own here";
  const WString report = subject->scratch + u"survived.txt";
  std::thread press([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    subject->pressCtrlC();
  });
  // The probe runs 1.5 s: a program on this console would be ended by the Ctrl+C meanwhile.
  const std::optional<uint32_t> exitCode =
      shell->RunHiddenAndWait(subject->probe, report + u" 7 1500", kGenerousMs);
  press.join();
  EXPECT_EQ(std::optional<uint32_t>(7), exitCode);
  EXPECT_EQ(kHidden, Read(report).value_or("no report"));
}

TEST_P(ShellContract, AProgramThatCannotStartIsNotWaitedFor) {
  EXPECT_FALSE(
      shell->RunHiddenAndWait(subject->scratch + u"missing.exe", u"stop spooler", kGenerousMs));
}

TEST_P(ShellContract, TheSystemFolderIsAnAbsolutePathThatHoldsNet) {
  const WString folder = shell->SystemFolder();
  ASSERT_GT(folder.size(), 3u);
  EXPECT_EQ(u":\\", folder.substr(1, 2));
  EXPECT_NE(u'\\', folder.back());
  const std::optional<FileAttributes> net = subject->files->Attributes(folder + u"\\net.exe");
  ASSERT_TRUE(net);
  EXPECT_FALSE(net->isFolder);
}

// On a 64-bit system, as the prefix and the fake's are: the 32-bit programs' folder, and for
// the native one the process's own. The Win32 implementation's known-folder call and its
// fallback for Windows XP name the same folders.
TEST_P(ShellContract, TheProgramFilesFoldersAreTheSystemsOwn) {
  const bool process64 = sizeof(void*) == 8;
  const std::pair<ProgramFiles, WString> rows[] = {
      {ProgramFiles::kX86, u"Program Files (x86)"},
      {ProgramFiles::kNative, process64 ? u"Program Files" : u"Program Files (x86)"}};
  for (const auto& [which, name] : rows) {
    const WString folder = shell->ProgramFilesFolder(which);
    SCOPED_TRACE(Utf16ToUtf8(folder));
    ASSERT_GT(folder.size(), 3u);
    EXPECT_EQ(u":\\", folder.substr(1, 2));
    EXPECT_EQ(name, folder.substr(3));
    const std::optional<FileAttributes> there = subject->files->Attributes(folder);
    ASSERT_TRUE(there);
    EXPECT_TRUE(there->isFolder);
    if (subject->folderPathFallback) {
      EXPECT_EQ(folder, subject->folderPathFallback(which));
    }
  }
}

TEST_P(ShellContract, AnOpenedAddressIsHandedOverHiddenWithoutWaiting) {
  // A program's path is an address the shell opens by running it; it writes its report
  // beside itself.
  const WString report = subject->probe + u".txt";
  subject->files->RemoveFile(report);
  ASSERT_TRUE(shell->OpenAddress(subject->probe));
  std::optional<std::string> text;
  for (int i = 0; i < 200 && (!text || text->empty()); ++i) {  // up to 20 s for a process
    text = Read(report);
    if (!text || text->empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(kHidden, text.value_or("no report"));
}

INSTANTIATE_TEST_SUITE_P(All, ShellContract, ::testing::ValuesIn(ShellImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
