// The command line's output over the Win32 console service: a redirected standard output (a
// pipe here, as a deployment tool's is) takes each line as UTF-8 with the system's line end.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/console_win32.h"
#include "platform/win32/win32.h"

namespace kestrava {
namespace {

TEST(Win32Console, ARedirectedOutputTakesUtf8Lines) {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 0));
  HANDLE before = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, write);
  {
    Win32Console console;
    console.WriteLine(u"完成：RT-58C（端口 COM3:）");
    console.WriteLine(u"done: RT-58C on COM3:");
  }
  SetStdHandle(STD_OUTPUT_HANDLE, before);
  CloseHandle(write);
  std::string received;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
    received.append(buffer, got);
  CloseHandle(read);
  EXPECT_EQ(Utf16ToUtf8(u"完成：RT-58C（端口 COM3:）\r\ndone: RT-58C on COM3:\r\n"), received);
}

}  // namespace
}  // namespace kestrava
