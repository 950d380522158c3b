// The ports a printer is added on: serial line settings for COM and Bluetooth ports (written
// into the registry, after which the spooler is restarted to read them), Standard TCP/IP ports
// for network printers (added through their monitor, which takes them at once; where it does
// not answer, written into its registry key and read at the spooler's restart), and the serial
// ports of the system.
#pragma once

#include <optional>
#include <vector>

#include "install/engine_services.h"
#include "install/spooler_restart.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr WStringView kSerialPortsKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
inline constexpr WStringView kTcpIpPortsKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
inline constexpr WStringView kSerialDeviceMapKey = u"HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The baud rates a serial port is set up with (the dialog's list), and the one the dialog
// selects at its start.
inline constexpr const char16_t* kSerialBaudRates[] = {u"9600", u"19200", u"38400", u"115200"};
inline constexpr const char16_t* kDefaultBaudRate = u"19200";

// A serial port's line settings as an installation writes them: "<baud>,n,8,1".
WString SerialPortSettings(const WString& baudRate);

// Why a port's configuration is not (all) in the registry.
enum class PortSetUpFault {
  kNone,
  kKeyMissing,      // its parent key is not there (no Standard TCP/IP Port monitor)
  kKeyRefused,      // a key cannot be opened or made
  kValueRefused,    // a value was refused
  kVersionUnknown,  // the system's version cannot be read, so the port has no "Version"
  kMonitorRefused,  // the TCP/IP port monitor answered, and refused the port (`error` says why)
};

// Whether a set-up that wrote into the registry restarts the spooler itself, or leaves the
// restart to its caller, which restarts once after all its changes.
enum class SpoolerRestartWhen { kNow, kByCaller };

// What setting up a port came to, as the registry and the spooler restart told it.
struct PortSetUp {
  PortSetUpFault fault = PortSetUpFault::kNone;
  uint32_t error = 0;                     // kMonitorRefused: the monitor's or the spooler's code
  bool throughMonitor = false;            // the monitor took it (or had it already)
  bool existing = false;                  // the monitor had the port with these values already
  bool restartNeeded = false;             // the registry was written: the spooler must read it
  std::optional<SpoolerRestart> restart;  // nothing: the spooler was not restarted
  bool Written() const { return fault == PortSetUpFault::kNone; }
};

// Stores "<baud>,n,8,1" as the line settings of `portName` (with its colon, "COM3:") and
// restarts the spooler (kNow) whether or not that worked.
PortSetUp ConfigureSerialPort(const EngineServices& services, const WString& portName,
                              const WString& baudRate,
                              SpoolerRestartWhen when = SpoolerRestartWhen::kNow);

// Sets up the Standard TCP/IP port named by `ipAddress`, raw on TCP port 9100. Where the
// monitor answers (administrator rights, a Windows that has it), a port it already has with
// these values is used as it is, one of that name with other values is configured anew, and a
// new one is added, all at once and with no restart. Elsewhere the port's values are written
// into the monitor's registry key (overwriting those of a port of that name) and the spooler
// is restarted (kNow). Nothing is written when the port's key cannot be made; the port stays
// without "Version", and the spooler is not restarted, when the system's version cannot be
// read.
PortSetUp CreateTcpIpPort(const EngineServices& services, const WString& ipAddress,
                          SpoolerRestartWhen when = SpoolerRestartWhen::kNow);

// Whether the monitor's registry key holds `name` as an installation makes it: its host name
// the name itself, raw, on TCP port 9100.
bool IsInstallationTcpIpPort(Registry& registry, const WString& name);

// Appends the serial ports of the system ("COM3") to `ports`, leaving out those of Bluetooth
// modems. True when the system's list was read, or when there is none (Windows has no serial
// device map on a computer without serial ports); false, with `status` telling why, when the
// list refused to be read. Only what was read before a refusal is appended.
bool ListSerialPorts(Registry& registry, std::vector<WString>& ports,
                     RegistryStatus* status = nullptr);

// The ports of a printer's port list: one, or several joined by commas for a printer that
// prints through a pool of ports ("COM3:,COM4:"), each without the spaces around it.
std::vector<WString> PortsOfList(WStringView portList);
// Whether a printer's port list holds `port`, compared as the system compares port names.
bool PortListHolds(SystemInfo& system, WStringView portList, WStringView port);

}  // namespace kestrava
