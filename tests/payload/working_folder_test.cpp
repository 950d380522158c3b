// Where the working folder is: under the program-files folder the system names, the 32-bit
// programs' one on 64-bit Windows, on whichever drive Windows is.
#include "payload/working_folder.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_system_info.h"

namespace kestrava {
namespace {

struct FolderRow {
  const char* name;
  uint16_t nativeArchitecture;
  std::optional<uint16_t> nativeMachine;  // IsWow64Process2's answer, where the system has it
  FakeShell::ProgramFilesSystem system;
  const char16_t* expected;

  friend void PrintTo(const FolderRow& row, std::ostream* os) { *os << row.name; }
};

const FolderRow kFolderRows[] = {
    {"X64WindowsThirtyTwoBitProgram",
     kArchitectureAmd64,
     std::nullopt,
     {u'C', true, false, true},
     u"C:\\Program Files (x86)\\Kestrava V8.11\\"},
    {"X64WindowsSixtyFourBitProgram",
     kArchitectureAmd64,
     kMachineAmd64,
     {u'C', true, true, true},
     u"C:\\Program Files (x86)\\Kestrava V8.11\\"},
    {"ThirtyTwoBitWindows",
     kArchitectureIntel,
     std::nullopt,
     {u'C', false, false, true},
     u"C:\\Program Files\\Kestrava V8.11\\"},
    {"ThirtyTwoBitWindowsOnD",
     kArchitectureIntel,
     std::nullopt,
     {u'D', false, false, true},
     u"D:\\Program Files\\Kestrava V8.11\\"},
    {"X64WindowsOnD",
     kArchitectureAmd64,
     std::nullopt,
     {u'D', true, false, true},
     u"D:\\Program Files (x86)\\Kestrava V8.11\\"},
    // An x86 program on ARM64 Windows is shown an x86 processor; IsWow64Process2 tells.
    {"Arm64WindowsEmulatedProgram",
     kArchitectureIntel,
     kMachineArm64,
     {u'C', true, false, true},
     u"C:\\Program Files (x86)\\Kestrava V8.11\\"},
    {"NoProgramFilesFolder", kArchitectureAmd64, std::nullopt, {u'C', true, false, false}, u""},
};

class WorkingFolderOf : public ::testing::TestWithParam<FolderRow> {};

TEST_P(WorkingFolderOf, TheSystemsOwnProgramFilesFolder) {
  FakeSystemInfo system;
  system.nativeArchitecture = GetParam().nativeArchitecture;
  system.nativeMachine = GetParam().nativeMachine;
  FakeShell shell;
  shell.programFiles = GetParam().system;
  EXPECT_EQ(WString(GetParam().expected), WorkingFolder(system, shell));
}

INSTANTIATE_TEST_SUITE_P(Systems, WorkingFolderOf, ::testing::ValuesIn(kFolderRows),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace kestrava
