// The support log: its lines and its size, that the unpacking keeps it, and what the dialog and
// the command line write into it.
#include "app/support_log.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/application.h"
#include "payload/payload_extraction.h"
#include "payload/trusted_folder.h"
#include "payload/working_folder.h"
#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

// The working folder the fakes name (64-bit Windows on C:).
const WString kWork = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
const WString kLog = kWork + WString(kSupportLogName);

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(content.substr(start, end - start));
  }
  EXPECT_EQ(start, content.size()) << "every line ends with CR LF";
  return lines;
}

TEST(SupportLog, LinesCarryTheTimeAndTheFolderIsMadeWhenMissing) {
  FakeFiles files;
  FakeClock clock;
  SupportLog log(files, clock, kWork);
  log.Line(u"start: 完成");
  log.Line(u"second");
  const std::vector<std::string> lines = Lines(files.Content(kLog).value_or(""));
  ASSERT_EQ(2u, lines.size());
  // The fake clock's local time.
  const LocalTime now = clock.Now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%d-%02d-%02d %02d:%02d:%02d ", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  EXPECT_EQ(std::string(stamp) + "start: 完成", lines[0]) << "UTF-8";
  EXPECT_EQ(std::string(stamp) + "second", lines[1]);
}

TEST(SupportLog, PastItsLimitTheOlderHalfGoesAtALineBoundary) {
  FakeFiles files;
  FakeClock clock;
  const WString path = u"C:\\logs\\setup.log";
  SupportLog log(files, clock, path, 1000);
  for (int i = 0; i < 200; ++i) log.Line(WidenAscii("line " + std::to_string(i)));
  const std::string content = files.Content(path).value_or("");
  EXPECT_LE(content.size(), 1000u);
  EXPECT_GE(content.size(), 400u) << "about half is kept, not all dropped";
  const std::vector<std::string> lines = Lines(content);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("line 199", lines.back().substr(20));
  // Whole lines in order, none cut: each the one after the one before it.
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(std::stoi(lines[i - 1].substr(25)) + 1, std::stoi(lines[i].substr(25)));
  }
}

TEST(SupportLog, WithoutAWorkingFolderNothingIsWritten) {
  FakeFiles files;
  FakeClock clock;
  SupportLog log(files, clock, WString());
  log.Line(u"start");
  EXPECT_EQ((std::set<WString>{}), files.Tree(u"C:\\"));
}

TEST(SupportLog, TheUnpackingKeepsItAndEmptiesTheRest) {
  FakeFiles files;
  FakeFileSecurity security(files);
  FakeSystemInfo system;
  FakeProcess process;
  files.AddFile(kLog, "earlier run\r\n");
  files.AddFile(kWork + u"Windows x64\\stale.dll", "old");
  files.AddFile(kWork + u"left.zip", "old");
  PayloadExtraction extraction(files, system, process, security, kWork);
  extraction.ExtractPayload();  // the program file holds no container here
  EXPECT_EQ("earlier run\r\n", files.Content(kLog).value_or("(gone)"));
  EXPECT_EQ((std::set<WString>{WString(kSupportLogName)}), files.Tree(kWork));
}

// A log that has reached its limit, the line that finds it full, and what may go wrong while
// the older half is dropped: whatever it is, the log stays exactly as it was, and nothing is
// left beside it.
struct RotationFault {
  const char* name;
  std::function<void(FakeFiles& files, const WString& log)> plant;

  friend void PrintTo(const RotationFault& row, std::ostream* os) { *os << row.name; }
};

class SupportLogRotation : public ::testing::TestWithParam<RotationFault> {};

TEST_P(SupportLogRotation, LeavesTheOldLogWhole) {
  FakeFiles files;
  FakeClock clock;
  const WString path = u"C:\\logs\\setup.log";
  std::string full;
  for (int i = 0; full.size() < 950; ++i)
    full += "2024-01-01 00:00:00 line " + std::to_string(i) + "\r\n";
  files.AddFile(path, full);
  SupportLog log(files, clock, path, 1000);
  GetParam().plant(files, path);
  log.Line(u"the line that finds the log full");
  EXPECT_EQ(full, files.Content(path).value_or("(gone)"));
  EXPECT_EQ((std::set<WString>{u"setup.log"}), files.Tree(u"C:\\logs"));
}

const RotationFault kRotationFaults[] = {
    {"ReadFailsHalfWay", [](FakeFiles& f, const WString& log) { f.FailReadAfter(log, 300); }},
    {"LogCannotBeOpenedForReading",
     [](FakeFiles& f, const WString& log) { f.Fail(FakeFiles::Op::kOpen, log); }},
    {"EveryWriteFailsHalfWay", [](FakeFiles& f, const WString&) { f.FailEveryWriteAfter(200); }},
    {"NothingCanBeWritten", [](FakeFiles& f, const WString&) { f.FailEveryWriteAfter(0); }},
    {"NewLogCannotBeMade",
     [](FakeFiles& f, const WString& log) { f.Fail(FakeFiles::Op::kCreate, log + u".new"); }},
    {"NewLogNotOnTheDisk",
     [](FakeFiles& f, const WString& log) { f.Fail(FakeFiles::Op::kFlush, log + u".new"); }},
    {"NewLogCannotTakeItsPlace",
     [](FakeFiles& f, const WString& log) { f.Fail(FakeFiles::Op::kReplace, log); }},
};

INSTANTIATE_TEST_SUITE_P(Faults, SupportLogRotation, ::testing::ValuesIn(kRotationFaults),
                         [](const auto& row) { return std::string(row.param.name); });

// The rotated log is a new file: it has what the working folder gives what it holds, not
// whatever the old one had been given.
TEST(SupportLog, TheRotatedLogHasTheRightsOfTheWorkingFolder) {
  FakeFiles files;
  FakeFileSecurity security(files);
  FakeClock clock;
  ASSERT_EQ(SecuredFolder::State::kSecured, SecureWorkingFolder(files, security, kWork).state);
  files.AddFile(kLog, std::string(680, 'x') + "\r\n" + std::string(300, 'y') + "\r\n");
  files.SecurityOf(kLog)->dacl.push_back({sid::kUsers, kModify, 0, false});
  SupportLog log(files, clock, kLog, 1000);
  log.Line(u"after the limit");
  const ObjectSecurity* rotated = files.SecurityOf(kLog);
  ASSERT_TRUE(rotated);
  std::vector<AccessEntry> expected = WorkingFolderRights();
  for (AccessEntry& entry : expected) entry.flags = kInherited;
  EXPECT_EQ(expected, rotated->dacl);
  EXPECT_EQ(0u, files.Content(kLog).value_or("").find(std::string(300, 'y'))) << "the newer half";
}

class SupportLogOfTheDialog : public PortCommandFixture {};

TEST_F(SupportLogOfTheDialog, TheStartTheCommandAndThePrintersAnswers) {
  deviceIo.Add(u"COM3", true).replies = {"\x72", "\x32", "\x12"};
  Choose(1, {u"COM3"}, u"NO COM");
  ChooseBaud(u"115200");
  ASSERT_TRUE(PressCheckPort());
  std::string content = files.Content(kLog).value_or("");
  for (const char* part :
       {"start: KestravaSetup ", "with its dialog, Windows 10 x64, language 1033, elevated",
        "check port: COM COM3 at 115200 baud",
        "port check: the printer took the port-information page",
        "printer status: out of paper (10 04 04 > 72; 10 04 02 > 32; 10 04 03 > 12)"}) {
    EXPECT_NE(std::string::npos, content.find(part)) << part << "\n" << content;
  }
}

TEST(SupportLogOfTheCommandLine, HoldsTheRunsLinesAndNotTheLogFilesPath) {
  FakeServices services;
  TestDialogHost host;
  services.process.arguments = {u"printers", u"--log", u"C:\\private\\my tills.log"};
  EXPECT_EQ(0, CBrevantApp(services.With(host)).Run());
  const std::string content = services.files.Content(kLog).value_or("");
  EXPECT_NE(std::string::npos, content.find("start: KestravaSetup ")) << content;
  EXPECT_NE(std::string::npos, content.find("without its dialog")) << content;
  EXPECT_NE(std::string::npos, content.find("command: printers")) << content;
  EXPECT_EQ(std::string::npos, content.find("my tills")) << "what the installation does not use";
}

// The promise of the README: at most 1 MiB, and past it the older half dropped at a line's
// start, so that the log then holds at most half of its limit and the line written.
TEST(SupportLog, TheLogInTheWorkingFolderIsHeldToOneMebibyte) {
  EXPECT_EQ(1048576u, kSupportLogLimit);
  FakeFiles files;
  FakeClock clock;
  const std::string earlier(100, 'x');
  std::string full;
  while (full.size() + earlier.size() + 2 <= 1048576) full += earlier + "\r\n";
  files.AddFile(kLog, full);
  SupportLog log(files, clock, kWork);
  const WString text = u"the line past the limit";
  log.Line(text);
  const std::string content = files.Content(kLog).value_or("");
  const size_t line = 20 + text.size() + 2;  // the time, the text, CR LF
  EXPECT_LE(content.size(), 1048576u / 2 + line);
  EXPECT_GE(content.size(), 1048576u / 2 - earlier.size() - 2) << "half of it is kept";
  EXPECT_EQ(0u, content.find(earlier + "\r\n")) << "it starts at a line's start";
  EXPECT_EQ(content.size() - line, content.rfind("2026-")) << "the new line last";
}

TEST(SupportLogOfTheCommandLine, HoldsNoRefusedArgumentAndNoFolderOfTheUsers) {
  struct Row {
    const char* what;
    std::vector<WString> arguments;
    const char* consoleHas;  // the user's own text, which the console shows
    const char* supportHas;  // what the support log says in its place
  };
  const Row rows[] = {
      {"a refused argument",
       {u"install", u"--model", u"RT-99-till-7"},
       "RT-99-till-7",
       "command: refused"},
      {"the program's folder, where the driver files are taken from",
       {u"install", u"--model", u"RT-58C", u"--interface", u"usb"},
       "C:\\Users\\bob\\Downloads",
       "payload: not unpacked, and the program's folder is not a folder only administrators can "
       "change"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeServices services;
    TestDialogHost host;
    services.process.programFilePath = u"C:\\Users\\bob\\Downloads\\KestravaSetup.exe";
    services.process.arguments = row.arguments;
    CBrevantApp(services.With(host)).Run();
    std::string console;
    for (const WString& line : services.console.lines) console += Utf16ToUtf8(line) + "\n";
    const std::string content = services.files.Content(kLog).value_or("");
    EXPECT_NE(std::string::npos, console.find(row.consoleHas)) << console;
    EXPECT_NE(std::string::npos, content.find(row.supportHas)) << content;
    EXPECT_EQ(std::string::npos, content.find(row.consoleHas)) << content;
    EXPECT_EQ(std::string::npos, content.find("bob")) << content;
  }
}

}  // namespace
}  // namespace kestrava
