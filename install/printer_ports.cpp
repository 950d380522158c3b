#include "install/printer_ports.h"

#include "install/spooler_restart.h"
#include "platform/tcp_sockets.h"

namespace kestrava {

namespace {

// The program formats its registry texts into buffers of 260 wide characters.
constexpr size_t kTextCapacity = 260;
constexpr uint32_t kNameCapacity = 260;  // characters
constexpr uint32_t kDataCapacity = 260;  // bytes

WString Bounded(WString text) {
  if (text.size() >= kTextCapacity) text.resize(kTextCapacity - 1);
  return text;
}

bool NamesBluetoothModem(const WString& name) {
  return UpperAscii(name).find(u"BTHMODEM") != WString::npos;
}

}  // namespace

WString SerialPortSettings(const WString& baudRate) {
  return FormatText(u"%s,n,8,1", {baudRate});
}

bool ConfigureSerialPort(const EngineServices& services, const WString& portName,
                         const WString& baudRate) {
  const WString settings = Bounded(SerialPortSettings(baudRate));
  bool written = false;
  if (auto key = services.registry.OpenMachineKey(WString(kSerialPortsKey), kRegistryReadWrite)) {
    written = key->SetValue(portName, RegistryValue::String(settings));
  }
  RestartSpoolerByCommand(services.shell, services.clock);
  return written;
}

void CreateTcpIpPort(const EngineServices& services, const WString& ipAddress) {
  auto ports = services.registry.OpenMachineKey(WString(kTcpIpPortsKey), kRegistryReadWrite);
  if (!ports) return;  // no monitor key: no subkey can be made under it
  const WString name = Bounded(ipAddress);
  // An empty name would open the monitor's own key and write the port's values into it.
  if (name.empty()) return;
  auto port = ports->CreateSubkey(name, kRegistryReadWrite);
  if (!port) return;

  const std::pair<const char16_t*, RegistryValue> values[] = {
      {u"HostName", RegistryValue::String(name)},
      {u"HWAddress", RegistryValue::String(u"")},
      {u"IPAddress", RegistryValue::String(u"")},
      {u"PortMonMibPortIndex", RegistryValue::Dword(0)},
      {u"PortNumber", RegistryValue::Dword(kPrinterTcpPort)},
      {u"Protocol", RegistryValue::Dword(1)},  // raw
      {u"SNMP Community", RegistryValue::String(u"kelnor")},
      {u"SNMP Enabled", RegistryValue::Dword(0)},
      {u"SNMP Index", RegistryValue::Dword(1)},
  };
  for (const auto& [valueName, value] : values) port->SetValue(valueName, value);

  VersionInfo version;
  if (!services.system.QueryVersion(version)) return;
  // The monitor of Windows 2000, XP and 2003 reads version 1 of the port's configuration.
  port->SetValue(u"Version", RegistryValue::Dword(version.major == 5 ? 1 : 2));
  port.reset();
  ports.reset();
  RestartSpoolerByCommand(services.shell, services.clock);
}

bool ListSerialPorts(Registry& registry, std::vector<WString>& ports) {
  auto key = registry.OpenMachineKey(WString(kSerialDeviceMapKey), kRegistryRead);
  if (!key) return true;
  for (uint32_t index = 0;; ++index) {
    WString name;
    RegistryValue value;
    const RegistryStatus status = key->EnumValue(index, kNameCapacity, kDataCapacity, name, value);
    if (status == RegistryStatus::kNoMoreItems) break;
    // A key that refuses to be read (deleted meanwhile) would answer the same at every index:
    // stop instead of asking for ever. A value too long for the buffers names no port.
    if (status == RegistryStatus::kFailed || status == RegistryStatus::kNotFound) break;
    if (status != RegistryStatus::kOk || NamesBluetoothModem(name)) continue;
    ports.push_back(value.Text());
  }
  return true;
}

}  // namespace kestrava
