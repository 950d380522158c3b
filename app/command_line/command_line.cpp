#include "app/command_line/command_line.h"

#include <algorithm>

#include "app/command_line/option_values.h"
#include "app/command_line/option_words.h"
#include "app/command_line/port_names.h"
#include "comm/port_commands.h"
#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "platform/ipv4_text.h"
#include "platform/local_text.h"

namespace kestrava {

namespace {

constexpr size_t kShownWordLength = 64;

// The position of `text` in `table`, -1 when it is not there.
template <size_t N>
int32_t PositionIn(const char16_t* const (&table)[N], const WString& text) {
  const auto* found = std::find(std::begin(table), std::end(table), text);
  return found == std::end(table) ? -1 : static_cast<int32_t>(found - std::begin(table));
}

class Parser {
 public:
  explicit Parser(const std::vector<WString>& words) : words_(words) {}

  CommandLine Parse() {
    size_t length = 0;
    for (const WString& word : words_) length += word.size() + 1;
    if (length > kLongestCommandLine) return Fail(ArgumentFault::kTooLong, WString());
    if (words_.empty()) return line_;
    if (std::any_of(words_.begin(), words_.end(), IsHelpWord)) {
      line_.command = Command::kHelp;
      HelpLanguage();
      return line_;
    }
    const std::optional<OptionWord> first = OptionOf(words_[0]);
    const WString command = first ? first->name : UpperAscii(words_[0]);
    if (command == u"INSTALL") {
      line_.command = Command::kInstall;
    } else if (command == u"PORTS") {
      line_.command = Command::kPorts;
    } else if (command == u"PRINTERS") {
      line_.command = Command::kPrinters;
    } else if (command == u"UNINSTALL") {
      line_.command = Command::kUninstall;
    } else {
      return Fail(ArgumentFault::kUnknownCommand, words_[0]);
    }
    for (next_ = 1; next_ < words_.size() && line_.fault == ArgumentFault::kNone;) {
      Option(words_[next_++]);
    }
    if (line_.fault == ArgumentFault::kNone && line_.command == Command::kInstall) CheckInstall();
    if (line_.fault == ArgumentFault::kNone && line_.command == Command::kUninstall) {
      const int selections = (line_.model >= 0) + !line_.printer.empty() + line_.all;
      if (selections == 0) Fail(ArgumentFault::kMissingSelection, WString());
      if (selections > 1) Fail(ArgumentFault::kTwoSelections, WString());
    }
    return line_;
  }

 private:
  CommandLine& Fail(ArgumentFault fault, const WString& word) {
    if (line_.fault == ArgumentFault::kNone) {
      line_.fault = fault;
      line_.faultWord = word.substr(0, kShownWordLength);
    }
    return line_;
  }

  // The option's value: after its "=" or ":", else the next word (which must be no option).
  std::optional<WString> Value(const OptionWord& option, const WString& word) {
    if (option.inlineValue) return option.inlineValue;
    if (next_ < words_.size() && !OptionOf(words_[next_])) return words_[next_++];
    Fail(ArgumentFault::kMissingValue, word);
    return std::nullopt;
  }

  bool FirstTime(const WString& name, const WString& word) {
    if (std::find(seen_.begin(), seen_.end(), name) != seen_.end()) {
      Fail(ArgumentFault::kRepeated, word);
      return false;
    }
    seen_.push_back(name);
    return true;
  }

  void Option(const WString& word) {
    const std::optional<OptionWord> option = OptionOf(word);
    if (!option) {
      Fail(ArgumentFault::kUnknownOption, word);
      return;
    }
    const bool install = line_.command == Command::kInstall;
    const auto flag = [&](bool& target) { Flag(*option, word, target); };
    const WString& name = option->name;
    const bool known =
        name == u"LANGUAGE" || name == u"LOG" || name == u"DISCOVER" || name == u"MODEL" ||
        name == u"INTERFACE" || name == u"PORT" || name == u"BAUD" || name == u"ADDRESS" ||
        name == u"OS" || name == u"DEFAULT" || name == u"NO-PORT-CHECK" || name == u"TEST-PAGE" ||
        name == u"REPLACE" || name == u"PRINTER" || name == u"ALL" || name == u"DRY-RUN";
    if (!known) {
      Fail(ArgumentFault::kUnknownOption, word);
      return;
    }
    if (!FirstTime(name, word)) return;
    if (name == u"LANGUAGE") {
      if (const std::optional<WString> value = Value(*option, word)) Language(*value);
    } else if (name == u"LOG") {
      if (const std::optional<WString> value = Value(*option, word)) {
        if (value->empty()) Fail(ArgumentFault::kMissingValue, word);
        line_.logFile = *value;
      }
    } else if (name == u"DISCOVER") {
      if (line_.command != Command::kPorts) {
        Fail(ArgumentFault::kNotForCommand, word);
      } else if (const std::optional<WString> value = Value(*option, word)) {
        Seconds(*value);
      }
    } else if (line_.command == Command::kUninstall && Uninstall(*option, word)) {
      return;
    } else if (!install || name == u"PRINTER" || name == u"ALL" || name == u"DRY-RUN") {
      Fail(ArgumentFault::kNotForCommand, word);
    } else if (name == u"DEFAULT") {
      flag(line_.setDefault);
    } else if (name == u"TEST-PAGE") {
      flag(line_.testPage);
    } else if (name == u"REPLACE") {
      flag(line_.replace);
    } else if (name == u"NO-PORT-CHECK") {
      bool skip = false;
      flag(skip);
      line_.portCheck = !skip;
    } else if (const std::optional<WString> value = Value(*option, word)) {
      InstallValue(name, *value);
    }
  }

  // The usage is told in the language asked for, if any; nothing else counts then.
  void HelpLanguage() {
    for (next_ = 0; next_ < words_.size();) {
      const std::optional<OptionWord> option = OptionOf(words_[next_++]);
      if (!option || option->name != u"LANGUAGE") continue;
      if (const std::optional<WString> value = Value(*option, words_[next_ - 1])) Language(*value);
    }
    line_.fault = ArgumentFault::kNone;
    line_.faultWord.clear();
  }

  void Language(const WString& value) {
    line_.language = LanguageOf(UpperAscii(value));
    if (!line_.language) Fail(ArgumentFault::kBadLanguage, value);
  }

  // An option without a value sets `target`; one given a value is no option.
  void Flag(const OptionWord& option, const WString& word, bool& target) {
    if (option.inlineValue) {
      Fail(ArgumentFault::kUnknownOption, word);
    } else {
      target = true;
    }
  }

  // The options of uninstall; false for one it does not take.
  bool Uninstall(const OptionWord& option, const WString& word) {
    const auto flag = [&](bool& target) { Flag(option, word, target); };
    if (option.name == u"ALL") {
      flag(line_.all);
    } else if (option.name == u"DRY-RUN") {
      flag(line_.dryRun);
    } else if (option.name == u"MODEL") {
      if (const std::optional<WString> value = Value(option, word))
        InstallValue(option.name, *value);
    } else if (option.name == u"PRINTER") {
      const std::optional<WString> value = Value(option, word);
      if (value && value->empty()) Fail(ArgumentFault::kMissingValue, word);
      if (value) line_.printer = *value;
    } else {
      return false;
    }
    return true;
  }

  void Seconds(const WString& value) {
    const std::optional<uint32_t> seconds = DiscoverySecondsOf(value);
    if (!seconds) {
      Fail(ArgumentFault::kBadSeconds, value);
    } else {
      line_.discoverSeconds = *seconds;
    }
  }

  void InstallValue(const WString& name, const WString& value) {
    const WString upper = UpperAscii(value);
    if (name == u"MODEL") {
      const int32_t model = ModelPosition(value);
      if (model < 0) {
        Fail(ArgumentFault::kBadModel, value);
      } else {
        line_.model = model;
      }
    } else if (name == u"INTERFACE") {
      const int32_t kind =
          PositionIn(kInterfaceNames, upper == u"BLUETOOTH" ? WString(u"BLE") : upper);
      if (kind < 0) {
        Fail(ArgumentFault::kBadInterface, value);
      } else {
        line_.interfaceKind = kind;
      }
    } else if (name == u"PORT") {
      line_.port = upper;
      portWord_ = value;
    } else if (name == u"BAUD") {
      const int32_t rate = PositionIn(kSerialBaudRates, value);
      if (rate < 0) {
        Fail(ArgumentFault::kBadBaud, value);
      } else {
        line_.baud = kSerialBaudRates[rate];
      }
    } else if (name == u"ADDRESS") {
      const std::optional<uint32_t> address = PrinterAddressOf(value);
      if (!address) {
        Fail(ArgumentFault::kBadAddress, value);
      } else {
        line_.address = address;
      }
    } else if (name == u"OS") {
      line_.osChoice = ReleaseRadioOf(upper);
      if (!line_.osChoice) Fail(ArgumentFault::kBadRelease, value);
    }
  }

  // What the interface needs and takes, once every option is read.
  void CheckInstall() {
    if (line_.model < 0) {
      Fail(ArgumentFault::kMissingModel, WString());
      return;
    }
    if (line_.interfaceKind < 0) {
      Fail(ArgumentFault::kMissingInterface, WString());
      return;
    }
    const bool serial = line_.interfaceKind == 1 || line_.interfaceKind == 3;
    const bool lan = line_.interfaceKind == 2;
    const bool usb = line_.interfaceKind == 0;
    if (!line_.baud.empty() && !serial) {
      Fail(ArgumentFault::kNotForInterface, u"--baud");
      return;
    }
    if (line_.address && !lan) {
      Fail(ArgumentFault::kNotForInterface, u"--address");
      return;
    }
    if (lan) {
      if (!portWord_.empty()) Fail(ArgumentFault::kNotForInterface, u"--port");
      if (!line_.address) Fail(ArgumentFault::kMissingAddress, WString());
      return;
    }
    if (usb && !line_.port.empty()) {
      const std::optional<WString> port = UsbPortName(line_.port);
      if (!port) Fail(ArgumentFault::kBadPort, portWord_);
      return;
    }
    if (serial) {
      if (line_.port.empty()) {
        Fail(portWord_.empty() ? ArgumentFault::kMissingPort : ArgumentFault::kBadPort, portWord_);
        return;
      }
      const std::optional<WString> port = SerialPortName(line_.port);
      if (!port) {
        Fail(ArgumentFault::kBadPort, portWord_);
        return;
      }
      line_.port = *port;
      if (line_.baud.empty()) line_.baud = kDefaultBaudRate;
    }
  }

  const std::vector<WString>& words_;
  size_t next_ = 0;
  std::vector<WString> seen_;
  WString portWord_;
  CommandLine line_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<WString>& words) {
  return Parser(words).Parse();
}

WString DescribeCommand(const CommandLine& line) {
  constexpr const char16_t* kCommands[] = {u"dialog",    u"help",  u"install",
                                           u"uninstall", u"ports", u"printers"};
  constexpr const char16_t* kKinds[] = {u"usb", u"com", u"lan", u"ble"};
  WString text = kCommands[static_cast<int>(line.command)];
  const auto add = [&](const WString& name, const WString& value = WString()) {
    text += u" " + name + (value.empty() ? WString() : u"=" + value);
  };
  if (line.model >= 0) add(u"model", ModelName(line.model));
  if (line.interfaceKind >= 0) add(u"interface", kKinds[line.interfaceKind]);
  if (!line.port.empty()) add(u"port", line.port);
  if (!line.baud.empty()) add(u"baud", line.baud);
  if (line.address) add(u"address", WidenAscii(DottedAddress(*line.address)));
  if (line.osChoice) add(u"os", WidenAscii(std::to_string(*line.osChoice)));
  if (!line.printer.empty()) add(u"printer", line.printer);
  if (line.all) add(u"all");
  if (line.dryRun) add(u"dry-run");
  if (line.setDefault) add(u"default");
  if (!line.portCheck) add(u"no-port-check");
  if (line.testPage) add(u"test-page");
  if (line.replace) add(u"replace");
  if (line.discoverSeconds) add(u"discover", WidenAscii(std::to_string(line.discoverSeconds)));
  if (line.language) add(u"language", WidenAscii(std::to_string(*line.language)));
  return text;
}

}  // namespace kestrava
