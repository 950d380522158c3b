// The ports a printer is added on: serial line settings for COM and Bluetooth ports, Standard
// TCP/IP ports for network printers (both written into the registry, after which the spooler
// is restarted), and the serial ports of the system.
#pragma once

#include <vector>

#include "install/engine_services.h"
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

// Stores "<baud>,n,8,1" as the line settings of `portName` (with its colon, "COM3:") and
// restarts the spooler whether or not that worked. True when the value was written.
bool ConfigureSerialPort(const EngineServices& services, const WString& portName,
                         const WString& baudRate);

// Creates (or overwrites) the Standard TCP/IP port named by `ipAddress`, raw on TCP port
// 9100, and restarts the spooler. Nothing is written when the port's key cannot be made; the
// port stays without "Version", and the spooler is not restarted, when the system's version
// cannot be read.
void CreateTcpIpPort(const EngineServices& services, const WString& ipAddress);

// Appends the serial ports of the system ("COM3") to `ports`, leaving out those of Bluetooth
// modems. Always true; `ports` is unchanged when the system lists none.
bool ListSerialPorts(Registry& registry, std::vector<WString>& ports);

}  // namespace kestrava
