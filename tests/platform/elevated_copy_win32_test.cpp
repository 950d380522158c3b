// The start of an elevated copy over the Win32 process service (under Wine, which runs "runas"
// as the same user, as Windows does where the consent prompt is off): the test program starts
// a copy of itself that runs only ElevatedCopy.ReportsWhatItWasGiven, which writes the words,
// the folder and the copy's mark it was given into a file the first one reads.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/process_win32.h"
#include "platform/win32/win32.h"

namespace kestrava {
namespace {

std::wstring ReportPath() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"kestrava-elevated-copy.txt";
}

TEST(ElevatedCopy, ReportsWhatItWasGiven) {
  Win32Process process;
  if (!process.IsElevatedCopy()) GTEST_SKIP() << "run as the copy only";
  std::string report;
  for (const WString& word : process.Arguments()) report += Utf16ToUtf8(word) + "\n";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  report += "folder " + Utf16ToUtf8(win32::FromWide(folder)) + "\n";
  HANDLE file =
      CreateFileW(ReportPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
}

TEST(ElevatedCopy, StartsWithTheSameWordsInTheSameFolderMarkedAsTheCopy) {
  Win32Process process;
  if (process.IsElevatedCopy()) GTEST_SKIP() << "the copy does not start another";
  DeleteFileW(ReportPath().c_str());
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  SetCurrentDirectoryW(temp);
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::vector<WString> words = {u"--gtest_filter=ElevatedCopy.ReportsWhatItWasGiven",
                                      u"C:\\my logs\\", u"say \"hi\"", u""};
  const ElevatedStart started = process.StartElevatedCopy(words);
  SetCurrentDirectoryW(before);
  ASSERT_EQ(ElevatedStart::kStarted, started);
  EXPECT_FALSE(process.IsElevatedCopy()) << "the mark is the copy's, not this process's";
  std::string report;
  for (int i = 0; i < 300 && report.find("folder ") == std::string::npos; ++i) {
    Sleep(100);
    HANDLE file = CreateFileW(ReportPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    char buffer[1024];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    report.assign(buffer, got);
  }
  std::string expected;
  for (const WString& word : words) expected += Utf16ToUtf8(word) + "\n";
  expected += "folder " + Utf16ToUtf8(win32::FromWide(folder)) + "\n";
  EXPECT_EQ(expected, report);
  DeleteFileW(ReportPath().c_str());
}

}  // namespace
}  // namespace kestrava
