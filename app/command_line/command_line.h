// The unattended command line: what a deployment tool asks of the program without its dialog.
// No arguments at all is the dialog.
//
//   install --model MODEL --interface usb|com|lan|ble [--port PORT] [--baud RATE]
//           [--address A.B.C.D] [--os RELEASE] [--default] [--no-port-check] [--test-page]
//           [--replace]
//   uninstall --printer NAME | --model MODEL | --all [--dry-run]
//   ports [--discover SECONDS]
//   printers
//   help                      (also /?, -?, --help, /help, -h anywhere)
// and for every command --language zh|en|ja and --log FILE.
//
// Commands and options may start with "--" or "/" (a command also with nothing); names ignore
// case. A value is the next word, or follows its option after "=" or ":" ("--model=RT-58C",
// "/port:COM3"). Every value is checked here, so that a run with bad input changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/command_line/option_values.h"
#include "platform/text.h"

namespace kestrava {

enum class Command { kDialog, kHelp, kInstall, kUninstall, kPorts, kPrinters };

// Why a command line is refused.
enum class ArgumentFault {
  kNone,
  kTooLong,  // more than 32767 characters in all
  kUnknownCommand,
  kUnknownOption,
  kMissingValue,
  kRepeated,         // an option given twice
  kNotForCommand,    // an option the command does not take
  kNotForInterface,  // --port, --baud or --address where the interface has none
  kBadModel,
  kBadInterface,
  kBadPort,
  kBadBaud,
  kBadAddress,
  kBadRelease,
  kBadLanguage,
  kBadSeconds,
  kMissingModel,
  kMissingInterface,
  kMissingPort,  // COM and Bluetooth need their port
  kMissingAddress,
  kMissingSelection,  // uninstall needs one of --printer, --model, --all
  kTwoSelections,     // and only one
};

// The longest command line Windows passes to a program.
inline constexpr size_t kLongestCommandLine = 32767;

struct CommandLine {
  Command command = Command::kDialog;
  ArgumentFault fault = ArgumentFault::kNone;
  WString faultWord;  // the word the fault is about (shortened to 64 characters)

  // install
  int32_t model = -1;          // catalogue position
  int32_t interfaceKind = -1;  // 0 USB, 1 COM, 2 LAN, 3 Bluetooth
  WString port;                // "COM3", "USB001"; empty for the first USB printer
  WString baud;                // one of the dialog's rates; empty for the dialog's default
  std::optional<uint32_t> address;
  std::optional<int32_t> osChoice;  // the dialog's release radio position
  bool setDefault = false;
  bool portCheck = true;
  bool testPage = false;
  bool replace = false;
  // uninstall (and install's --model)
  WString printer;   // --printer
  bool all = false;  // --all
  bool dryRun = false;
  // ports
  uint32_t discoverSeconds = 0;
  // every command
  std::optional<int32_t> language;  // 2052, 1033 or 1041
  WString logFile;
};

CommandLine ParseCommandLine(const std::vector<WString>& words);

// The command and the values it uses, for the support log: "install model=RT-58C
// interface=com port=COM3 baud=115200 default". The log file's path is left out.
WString DescribeCommand(const CommandLine& line);

}  // namespace kestrava
