// The exit codes are promises to the deployment scripts that read them: each is pinned here by
// its number, not by its name, named in the usage of every language, and the README's table is
// the program's own.
#include "app/command_line/exit_codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

#include "app/command_line/unattended_texts.h"
#include "app/language.h"

namespace kestrava {
namespace {

struct Pinned {
  ExitCode code;
  int number;
};

// In the order of the README's table.
const Pinned kPinned[] = {
    {kExitDone, 0},
    {kExitDriverFilesNotCopied, 10},
    {kExitDriverNotRegistered, 11},
    {kExitPrinterNotAdded, 12},
    {kExitTestPageFailed, 13},
    {kExitPrintersNotListed, 14},
    {kExitSomethingLeft, 15},
    {kExitPortsNotListed, 16},
    {kExitPortNotSetUp, 17},
    {kExitSpoolerNotRestarted, 18},
    {kExitDefaultNotForUser, 19},
    {kExitPaperEnd, 20},
    {kExitCoverOpen, 21},
    {kExitPrinterOffline, 22},
    {kExitCutterError, 23},
    {kExitUnrecoverableError, 24},
    {kExitNotElevated, 740},
    {kExitPortCheckFailed, 1167},
    {kExitCancelled, 1223},
    {kExitAnotherInstance, 1618},
    {kExitBadArguments, 1639},
    {kExitNoSuchPort, 1796},
    {kExitNoSuchPrinter, 1801},
    {kExitPortInUse, 1802},
};

TEST(ExitCodes, EachHasItsNumberAndTheTableOfMeaningsHoldsThemAll) {
  ASSERT_EQ(std::size(kPinned), std::size(kExitCodeMeanings));
  for (size_t i = 0; i < std::size(kPinned); ++i) {
    EXPECT_EQ(kPinned[i].number, static_cast<int>(kPinned[i].code)) << i;
    EXPECT_EQ(kPinned[i].number, static_cast<int>(kExitCodeMeanings[i].code)) << i;
  }
}

TEST(ExitCodes, TheUsageOfEveryLanguageNamesEveryCode) {
  for (int32_t language : {kChinese, kEnglish, kJapanese}) {
    std::string usage;
    for (const WString& line : cli::Usage(language)) usage += Utf16ToUtf8(line) + "\n";
    for (const Pinned& pinned : kPinned) {
      // The number standing alone: "14 printers not listed", not the 14 of "140".
      const std::regex alone("(^|[^0-9])" + std::to_string(pinned.number) + "([^0-9]|$)");
      EXPECT_TRUE(std::regex_search(usage, alone)) << language << ": " << pinned.number;
    }
  }
}

// The rows of the README's exit-code table: "| 1802 | the port is in use ... |".
std::vector<std::pair<int, std::string>> ReadmeTable() {
  std::ifstream readme(std::string(KESTRAVA_SOURCE_DIR) + "/README.md");
  EXPECT_TRUE(readme) << "README.md";
  std::vector<std::pair<int, std::string>> rows;
  std::string line;
  bool inTable = false;
  const std::regex row(R"(^\| ([0-9]+) \| (.*) \|$)");
  while (std::getline(readme, line)) {
    if (line == "| Exit code | Meaning |") {
      inTable = true;
      continue;
    }
    if (!inTable) continue;
    if (line.rfind("|---", 0) == 0) continue;
    std::smatch match;
    if (!std::regex_match(line, match, row)) break;
    rows.emplace_back(std::stoi(match[1]), match[2]);
  }
  return rows;
}

TEST(ExitCodes, TheReadmesTableIsTheProgramsTable) {
  std::vector<std::pair<int, std::string>> program;
  for (const ExitCodeMeaning& meaning : kExitCodeMeanings) {
    program.emplace_back(static_cast<int>(meaning.code), meaning.meaning);
  }
  std::ostringstream expected;
  for (const auto& [code, meaning] : program)
    expected << "| " << code << " | " << meaning << " |\n";
  EXPECT_EQ(program, ReadmeTable()) << "the README's table, as the program has it:\n"
                                    << expected.str();
}

}  // namespace
}  // namespace kestrava
