// The words of a command line put together again for the elevated copy: each row's line, and
// on Windows builds that CommandLineToArgvW (which the copy's Arguments use) splits it into the
// same words.
#include <gtest/gtest.h>

#include <vector>

#include "platform/process.h"
#ifdef _WIN32
#include "platform/win32/win32.h"
#endif

namespace kestrava {
namespace {

struct Quoting {
  const char* what;
  std::vector<WString> words;
  WString line;
};

const Quoting kQuotings[] = {
    {"none", {}, u""},
    {"plain words stay as they are",
     {u"install", u"--model", u"RT-58C"},
     u"install --model RT-58C"},
    {"a space", {u"--log", u"C:\\my logs\\tills.log"}, u"--log \"C:\\my logs\\tills.log\""},
    {"an empty word", {u"--printer", u""}, u"--printer \"\""},
    {"a quote", {u"say \"hi\""}, u"\"say \\\"hi\\\"\""},
    {"backslashes before a quote", {u"a\\\\\"b"}, u"\"a\\\\\\\\\\\"b\""},
    {"a folder's backslash before the closing quote", {u"C:\\my logs\\"}, u"\"C:\\my logs\\\\\""},
    {"backslashes without a quote stay single", {u"C:\\logs\\"}, u"C:\\logs\\"},
    {"a tab", {u"a\tb"}, u"\"a\tb\""},
    {"other scripts", {u"打印机 1"}, u"\"打印机 1\""},
};

TEST(QuotedArguments, TheCopyGetsTheSameWords) {
  for (const Quoting& row : kQuotings) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.line, QuotedArguments(row.words));
#ifdef _WIN32
    int count = 0;
    const WString line = u"KestravaSetup.exe " + row.line;
    LPWSTR* split = CommandLineToArgvW(win32::Wide(line), &count);
    ASSERT_TRUE(split);
    std::vector<WString> words;
    for (int i = 1; i < count; ++i) words.push_back(win32::FromWide(split[i]));
    LocalFree(split);
    EXPECT_EQ(row.words, words);
#endif
  }
}

}  // namespace
}  // namespace kestrava
