// The dialog's check-port and self-test commands over the Win32 services, with the in-memory
// dialog host playing the user: the bytes go to real serial ports and TCP connections, which
// the calling script gives their other ends (a pseudo-terminal, the printer emulator).
//
// Usage: port_commands_probe.exe COMMAND PORT-OR-ADDRESS [FAULT]
//   com-page COMx            the COM page; no message may be shown
//   com-self-test COMx       the self-test request; no message
//   lan-page ADDRESS         the LAN page to ADDRESS:9100; no message
//   lan-self-test-page ADDRESS  the self-test request, then the LAN page; no message
//   lan-page-fails ADDRESS   the LAN page where nothing listens: exactly the failure message
// With FAULT, the message that names the printer's fault must follow the command's own (the
// printer answers its status requests). Prints what the dialog showed, what the status requests
// got and how long the command took; exits 0 when it was as expected.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/dialog/confing_dialog.h"
#include "platform/ipv4_text.h"
#include "platform/win32/win32_services.h"
#include "tests/fakes/test_dialog_host.h"

namespace kestrava {
namespace {

constexpr int kComRadio = 1048;
constexpr int kInterfaceFirstRadio = 1034;
const WString kFailure = u"Please check the connection\uFF01";

struct Probe {
  TestDialogHost host;
  // The port-in-use check of the COM page asks the real spooler for the installed printers.
  Win32Services win32;
  Services services = win32.With(host);
  ConfingDialog dialog{services};

  Probe() {
    win32.process.StartSockets();
    host.RunModal(dialog);
  }

  void ShowPort(int radio, const WString& port, const WString& placeholder) {
    host.Click(radio);
    dialog.ExchangeControlData(true);
    dialog.RefreshPortCombo({port}, placeholder);
    dialog.ExchangeControlData(false);
  }
};

int Run(const std::string& command, const WString& target, const WString& fault) {
  Probe probe;
  std::vector<int> buttons;
  if (command == "com-page" || command == "com-self-test") {
    probe.ShowPort(kComRadio, target, u"NO COM");
    probe.host.SetComboSelection(1053, 3);  // 115200
    buttons = {command == "com-page" ? 1027 : 1047};
  } else if (command == "lan-page" || command == "lan-self-test-page" ||
             command == "lan-page-fails") {
    const std::optional<uint32_t> address = ParseDottedIpv4(target);
    // Loopback only: the tests send nothing anywhere else.
    if (!address || (*address >> 24) != 127) {
      std::fprintf(stderr, "not a loopback address\n");
      return 2;
    }
    // The radio is set, not clicked: choosing LAN starts the discovery broadcast, which goes
    // nowhere outside a network namespace of a test's own.
    probe.host.SetRadioGroupPosition(kInterfaceFirstRadio, kLanInterface);
    probe.host.SetIpAddress(1050, *address);
    buttons =
        command == "lan-self-test-page" ? std::vector<int>{1047, 1027} : std::vector<int>{1027};
  } else {
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
  }
  const uint64_t start = probe.win32.clock.MonotonicMs();
  for (int button : buttons) {
    probe.host.FireTimer(3);
    if (!probe.host.Click(button)) {
      std::fprintf(stderr, "button %d could not be pressed\n", button);
      return 1;
    }
  }
  std::printf("%s %s: %llu ms\n", command.c_str(), Utf16ToUtf8(target).c_str(),
              static_cast<unsigned long long>(probe.win32.clock.MonotonicMs() - start));
  for (const auto& message : probe.host.messages) {
    std::printf("message: %s\n", Utf16ToUtf8(message.text).c_str());
  }
  std::printf("status: %s\n", probe.dialog.lastStatus.exchange.c_str());
  std::vector<WString> expected;
  if (command == "lan-page-fails") expected.push_back(kFailure);
  if (!fault.empty()) expected.push_back(fault);
  std::vector<WString> shown;
  for (const auto& message : probe.host.messages) shown.push_back(message.text);
  if (!probe.host.misuses.empty()) {
    for (const std::string& misuse : probe.host.misuses)
      std::printf("misuse: %s\n", misuse.c_str());
    return 1;
  }
  return shown == expected ? 0 : 1;
}

}  // namespace
}  // namespace kestrava

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s COMMAND PORT-OR-ADDRESS [FAULT]\n", argv[0]);
    return 2;
  }
  return kestrava::Run(argv[1], kestrava::WidenAscii(argv[2]),
                       argc == 4 ? kestrava::WidenAscii(argv[3]) : kestrava::WString());
}
