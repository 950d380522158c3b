// What the program does with the rights it was started with, on a fake token: a double-click
// without administrator rights starts an elevated copy and ends before anything else; the
// command line runs as the invoker, the commands that change the system end with 740 and one
// line before they touch anything, the read-only ones just run.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended_texts.h"
#include "payload/working_folder.h"
#include "tests/app/command_line/unattended_fixture.h"

namespace kestrava {
namespace {

struct DoubleClick {
  const char* what;
  bool elevated;
  bool elevatedCopy;
  ElevatedStart start;  // what the shell makes of the start of a copy
  int exitCode;
  bool copyStarted;
  bool dialog;
};

void PrintTo(const DoubleClick& row, std::ostream* os) {
  *os << row.what;
}

class StartWithoutArguments : public Unattended,
                              public ::testing::WithParamInterface<DoubleClick> {};

TEST_P(StartWithoutArguments, AskForRightsFirstOrRunTheDialog) {
  const DoubleClick& row = GetParam();
  process.elevated = row.elevated;
  process.elevatedCopy = row.elevatedCopy;
  process.elevatedStart = row.start;
  EXPECT_EQ(row.exitCode, Run({}));
  EXPECT_EQ(row.copyStarted ? std::vector<std::string>{"runas C:\\Setup\\KestravaSetup.exe "}
                            : std::vector<std::string>{},
            process.starts)
      << "one start of the program file itself, with the same (no) arguments";
  EXPECT_EQ(row.dialog, !host.title.empty());
  if (!row.dialog) {
    // Nothing else done: no instance marker (the copy must be the first instance), no
    // libraries, no worker, no window, no file.
    EXPECT_EQ(0, process.markersCreated);
    EXPECT_TRUE(process.commonControls.empty());
    EXPECT_EQ(0, process.socketStarts);
    EXPECT_EQ(0, process.restartRegistrations);
    EXPECT_EQ(0, host.workersStarted);
    EXPECT_TRUE(host.messages.empty()) << "a declined consent ends without a word";
    EXPECT_FALSE(files.Exists(WorkingFolder(system, shell))) << "the support log is not begun";
  } else {
    EXPECT_EQ(1, process.markersCreated);
  }
}

const DoubleClick kDoubleClicks[] = {
    {"NotElevatedStartsAnElevatedCopyAndEnds", false, false, ElevatedStart::kStarted, kExitDone,
     true, false},
    {"TheConsentDeclinedEndsQuietly", false, false, ElevatedStart::kRefused, kExitCancelled, true,
     false},
    {"AStartTheShellCannotMakeRunsTheDialogHere", false, false, ElevatedStart::kFailed, kExitDone,
     true, true},
    {"ACopyStillWithoutRightsDoesNotAskAgain", false, true, ElevatedStart::kStarted, kExitDone,
     false, true},
    {"ElevatedTheDialogOpensAsBefore", true, false, ElevatedStart::kStarted, kExitDone, false,
     true},
};

INSTANTIATE_TEST_SUITE_P(Rows, StartWithoutArguments, ::testing::ValuesIn(kDoubleClicks),
                         [](const ::testing::TestParamInfo<DoubleClick>& row) {
                           return std::string(row.param.what);
                         });

struct Invoker {
  const char* what;
  Words words;
  int exitCode;
  const char* firstLine;  // empty: the command's own lines
};

void PrintTo(const Invoker& row, std::ostream* os) {
  *os << row.what;
}

class StartAsInvoker : public Unattended, public ::testing::WithParamInterface<Invoker> {};

TEST_P(StartAsInvoker, ChangesNeedRightsReadingDoesNot) {
  const Invoker& row = GetParam();
  process.elevated = false;
  spooler.AddInstalledPrinter(u"RT-58C", u"COM3:", u"RT-58C");
  const std::vector<WString> printersBefore = spooler.PrinterNames();
  const std::set<WString> filesBefore = files.Tree(u"C:\\");
  EXPECT_EQ(row.exitCode, Run(row.words)) << Output();
  EXPECT_TRUE(process.starts.empty()) << "the command line never asks for rights itself";
  EXPECT_TRUE(shell.calls.empty()) << "no spooler restart, nothing opened";
  EXPECT_EQ(printersBefore, spooler.PrinterNames());
  EXPECT_TRUE(spooler.drivers.empty());
  EXPECT_FALSE(registry.Value(WString(kSerialPortsKey), u"COM3:"));
  EXPECT_EQ(filesBefore, files.Tree(u"C:\\")) << "no support log, no working folder";
  if (row.exitCode == kExitNotElevated) {
    ASSERT_EQ(1u, console.lines.size()) << Output();
    EXPECT_EQ(row.firstLine, Utf16ToUtf8(console.lines[0]));
    EXPECT_EQ(0, process.markersCreated);
    EXPECT_EQ(0, process.socketStarts);
  } else {
    EXPECT_FALSE(console.lines.empty());
  }
}

const Invoker kInvokers[] = {
    {"InstallNeedsRights", Com(), kExitNotElevated,
     "administrator rights are needed: run it from an elevated prompt"},
    {"InstallNeedsRightsInChinese", Com({u"--language", u"zh"}), kExitNotElevated,
     "需要管理员权限：请在以管理员身份运行的命令提示符中运行"},
    {"InstallNeedsRightsInJapanese", Lan({u"--language", u"ja"}), kExitNotElevated,
     "管理者権限が必要です：管理者として実行したコマンドプロンプトから実行してください"},
    {"UninstallNeedsRights",
     {u"uninstall", u"--all"},
     kExitNotElevated,
     "administrator rights are needed: run it from an elevated prompt"},
    {"PortsJustRun", {u"ports"}, kExitDone, ""},
    {"PrintersJustRun", {u"printers"}, kExitDone, ""},
    {"UsageJustRuns", {u"/?"}, kExitDone, ""},
    {"ADryRunJustRuns", {u"uninstall", u"--model", u"RT-58C", u"--dry-run"}, kExitDone, ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, StartAsInvoker, ::testing::ValuesIn(kInvokers),
                         [](const ::testing::TestParamInfo<Invoker>& row) {
                           return std::string(row.param.what);
                         });

}  // namespace
}  // namespace kestrava
