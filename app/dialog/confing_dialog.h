// The program's one dialog: the user's selection, the installation engine, the payload state
// and the language texts, and the handlers that keep them in step with the controls.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/dialog/controls.h"
#include "app/dialog/message_table.h"
#include "app/services.h"
#include "app/support_log.h"
#include "comm/comm_services.h"
#include "comm/port_commands.h"
#include "comm/port_link.h"
#include "install/install_engine.h"
#include "install/printer_ports.h"
#include "net/discovered_printers.h"
#include "net/lan_discovery.h"
#include "payload/payload_extraction.h"

namespace kestrava {

// Control ids of dialog template 147 that the logic addresses.
namespace control {
inline constexpr int kOsMessage = 1008;
inline constexpr int kOsFirst = 1002;
inline constexpr int kModelFirst = 1014;
inline constexpr int kInterfaceFirst = 1034;
inline constexpr int kSetDefault = 1018;
inline constexpr int kPortTextCarrier = 1039;
inline constexpr int kRemark = 1030;
inline constexpr int kBaudList = 1053;
inline constexpr int kIpAddress = 1050;
inline constexpr int kPortList = 1059;
inline constexpr int kBluetoothName = 1062;
inline constexpr int kLanguageList = 1046;
inline constexpr int kInstallButton = 1019;
inline constexpr int kSelfTestButton = 1047;
// The interface radios, in the group's order: USB, COM, LAN, BLE.
inline constexpr int kInterfaceRadios[] = {kInterfaceFirst, 1048, 1049, 1057};
}  // namespace control

// The item of the baud list that the dialog starts with and that COM and BLE choose.
inline constexpr int kSerialBaudItem = 1;  // "19200"

// The pause between the test page's question and the page.
inline constexpr uint32_t kBeforeTestPageMs = 511;

inline constexpr unsigned kPortPollTimer = 6;
inline constexpr unsigned kPortPollPeriodMs = 500;
inline constexpr uint32_t kDefaultPrinterAddress = 0xC0A80164;  // 192.168.1.100
inline constexpr uint32_t kPortTextColour = 0x002828B4;         // RGB(180, 40, 40)

// The placeholders the port list shows when nothing is found (never translated).
inline constexpr const char16_t* kSearchingIp = u"Searching IP";
inline constexpr const char16_t* kNoUsb = u"NO USB";
inline constexpr const char16_t* kNoCom = u"NO COM";
inline constexpr const char16_t* kNoBle = u"NO BLE";

// The services of the printer communication, out of the application's.
CommServices CommServicesFrom(const Services& services);

class ConfingDialog final : public DialogEvents {
 public:
  // The dialog holds the process's one port link, made with it at start-up.
  explicit ConfingDialog(const Services& services);
  // Stops the discovery thread first: it works on members of the dialog.
  ~ConfingDialog() override;

  // Copies the controls into the members (`save`) or the members into the controls. Saving
  // fails, with the range message, when no interface radio is checked; the members after the
  // interface group are then left as they were.
  bool ExchangeControlData(bool save);

  // Keeps the port list equal to `ports` while preserving the user's selection; an empty list
  // shows `placeholder` alone. With `portTextFollowsSelection` false, a rebuild leaves
  // `portText` at the first entry whichever entry ends up selected. `selected` (when given)
  // hears every position the refill selects, or the kept selection when nothing changed.
  void RefreshPortCombo(const std::vector<WString>& ports, const WString& placeholder,
                        bool portTextFollowsSelection = true,
                        const std::function<void(int index)>& selected = nullptr);

  // The language list's selection change: captions, texts and the OS message follow.
  void OnLanguageChosen();

  // LAN discovery as the interface radios and the 500 ms timer drive it
  // (app/lan_discovery_dialog.cpp). LAN chosen: empties `discoveredPrinters`, opens the discovery
  // socket, refreshes the local addresses and starts the discovery thread unless it runs. The
  // caller sets the controls.
  void StartLanDiscovery();
  // A tick while LAN is chosen: cancels the pending receive when the thread runs, else reopens
  // the socket and starts the thread again.
  void LanDiscoveryTick();
  // Another interface chosen.
  void CloseDiscoverySocket();
  // The process's discovery state (socket, echo facility, local addresses).
  LanDiscovery& lanDiscovery() { return *lanDiscovery_; }
  // Whether the port chosen in the port list (a serial or Bluetooth port, COM3 taken as COM3:)
  // is already the port of an installed printer; if so the user is told, in the UI language,
  // before the answer true. Placeholders, other kinds of port and a spooler that cannot list
  // its printers answer false. Leaves the chosen port, with its colon, in `portText`.
  bool CheckPortInUse();
  // The check-port button (the port-information page) and the self-test button.
  bool OnCheckPort();
  void OnSelfTest();
  // The port-information page; with `tellFault` a fault the printer tells of its status is
  // shown after the command's own messages (the install command tells it after its own).
  bool CheckPort(bool tellFault);
  // Shows what the last command's status answers told, when it is a fault.
  void TellPrinterFault();
  // What the printer told of itself after the last check-port or self-test command.
  PrinterStatusReport lastStatus;
  // A line of the support log (app/support_log.h), which names the program's own folder, when
  // the driver files are taken from there, by what it is (app/log_privacy.h).
  void Log(const WString& line);
  // The command's port in the log's words: "COM3 at 115200 baud", "LAN 10.0.0.9", "USB001".
  WString LoggedPort(const PortCommandInput& input) const;
  // The status answers of the last command, in a line of the log.
  void LogStatus();
  // An installation's failed step with the system's code and text, in a line of the log.
  void LogFailure(const InstallEngine& installation);
  // A port's set-up (`what`: "COM3: = 115200,n,8,1") and its restart; a restart that did not
  // restart the spooler, with the service manager's codes; how making the printer the default went,
  // and for which account. In lines of the log.
  void LogPortSetUp(const WString& what, const PortSetUp& setUp);
  void LogRestart(const std::optional<SpoolerRestart>& restart);
  void LogDefaultPrinter(const DefaultPrinterOutcome& outcome, const WString& printer);
  // "error 5: Access is denied."
  WString ErrorText(uint32_t error);
  // Timer 1 enables the install controls again, timer 3 the check-port button; each stops at
  // its first tick.
  void OnButtonTimer(unsigned timerId);
  PortLink& portLink() { return link_; }

  // The install button (app/install_command.cpp): the port checked first, then prepared, the
  // printer installed, the outcome told in the UI language and the test page offered.
  void OnInstall();
  // The install controls: 1011 to 1018 (the model radios and the default-printer check box),
  // the install button and the check-port button.
  void EnableInstallControls(bool enabled);

  // Timer 6 (app/port_poll.cpp): the port list of the chosen interface follows what is attached
  // and LAN discovery goes on. A tick that arrives while one runs (message boxes pump
  // messages) is let go.
  void OnPortPollTick();
  // The BLE branch's list: `ports` with the device name of each (`names`, parallel to them; an
  // empty list names every port "Printer001"); 1062 shows the name of the selected port.
  void ShowBluetoothPorts(const std::vector<WString>& ports, std::vector<WString> names);

  // The interface radios (app/interface_commands.cpp): the port column's controls of the
  // interface, and LAN discovery started or its socket closed.
  void OnInterfaceChosen();
  // The port list's selection change or drop-down while discovery has found printers: an
  // address chosen there fills the address field.
  void OnPortListSelection();
  void OnOsMessageDoubleClick();

  // DialogEvents
  bool OnInitDialog() override;
  void OnCommand(int controlId, int notification) override;
  void OnTimer(unsigned timerId) override;
  void OnUserMessage(uintptr_t wParam, intptr_t lParam) override;
  void OnOk() override;
  void OnCancel() override;

  int32_t osChoice = 0;
  int32_t modelChoice = 0;
  InstallEngine engine;
  WString osMessage;
  bool setDefaultPrinter = false;
  WString archName;
  WString osName;
  FontSpec linkFont{u"Arial", 12, 700, true};
  Picture testPageBitmap;
  MessageTable messages;
  int32_t uiLanguage;
  int32_t osMessageClicks = 0;
  int32_t portKindChoice = 0;
  WString portText = u"USB00X";
  ComboBox baudCombo;
  IpAddressField ipAddressField;
  ComboBox portCombo;
  WString btDeviceName;
  std::atomic<bool> discoveryRunning{false};
  DiscoveredPrinters discoveredPrinters;
  // Shared with the payload worker, which may outlive the dialog: the process does not wait
  // for it when the dialog ends.
  std::shared_ptr<std::atomic<bool>> payloadExtracted;
  WString workingFolder;

 private:
  void DetectPlatformIntoMessage();
  // The command's view of the members, after the controls were copied into them.
  PortCommandInput CommandInput();

  void StartDiscoveryThread();
  // The BLE branch of the poll: the ports and the device name of the selected one.
  void RefreshBluetoothPorts();

  bool pollTickRunning_ = false;

  Services services_;
  DialogHost& host_;
  std::shared_ptr<LanDiscovery> lanDiscovery_ = std::make_shared<LanDiscovery>(
      services_.udp, services_.icmp, services_.adapters, services_.clock, services_.process);
  PortLink link_{CommServicesFrom(services_)};
  // The folder the payload is unpacked into; `workingFolder` becomes the program's own folder
  // when the unpacking failed.
  const WString payloadFolder_ = workingFolder;
  // In the working folder, wherever the driver files are taken from.
  SupportLog supportLog_{services_.files, services_.clock, workingFolder};
};

// A serial or Bluetooth port as the spooler knows it: COM3 becomes COM3:, COM3: stays.
WString SpoolerSerialPortName(WString port);

// The OS radio for a release name's position in `osNames`; -1 for names not in it.
int32_t OsChoiceForRelease(int osNamePosition);
// The caption of a release radio ("Windows 10", "Windows 8/8.1", ...); empty for no radio.
WString OsChoiceName(int32_t choice);

}  // namespace kestrava
