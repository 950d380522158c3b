#include "install/printer_ports.h"

#include <algorithm>

#include "install/tcp_port_data.h"
#include "platform/system_errors.h"
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

PortSetUp Failed(PortSetUpFault fault) {
  PortSetUp setUp;
  setUp.fault = fault;
  return setUp;
}

PortSetUpFault KeyFault(RegistryStatus status) {
  return status == RegistryStatus::kNotFound ? PortSetUpFault::kKeyMissing
                                             : PortSetUpFault::kKeyRefused;
}

}  // namespace

WString SerialPortSettings(const WString& baudRate) {
  return FormatText(u"%s,n,8,1", {baudRate});
}

PortSetUp ConfigureSerialPort(const EngineServices& services, const WString& portName,
                              const WString& baudRate, SpoolerRestartWhen when) {
  const WString settings = Bounded(SerialPortSettings(baudRate));
  PortSetUp setUp;
  RegistryStatus status = RegistryStatus::kOk;
  if (auto key =
          services.registry.OpenMachineKey(WString(kSerialPortsKey), kRegistryReadWrite, &status)) {
    if (!key->SetValue(portName, RegistryValue::String(settings))) {
      setUp.fault = PortSetUpFault::kValueRefused;
    }
  } else {
    setUp.fault = KeyFault(status);
  }
  setUp.restartNeeded = true;
  if (when == SpoolerRestartWhen::kNow) {
    setUp.restart = RestartSpooler(services.serviceManager, services.clock);
  }
  return setUp;
}

bool IsInstallationTcpIpPort(Registry& registry, const WString& name) {
  auto key = registry.OpenMachineKey(WString(kTcpIpPortsKey) + u"\\" + name, kRegistryRead);
  if (!key) return false;
  RegistryValue host, number, protocol;
  constexpr uint32_t kValueCapacity = 520;  // bytes: the texts an installation writes fit
  return key->QueryValue(u"HostName", kValueCapacity, host) == RegistryStatus::kOk &&
         key->QueryValue(u"PortNumber", kValueCapacity, number) == RegistryStatus::kOk &&
         key->QueryValue(u"Protocol", kValueCapacity, protocol) == RegistryStatus::kOk &&
         host.Text() == name && number.Number() == kPrinterTcpPort && protocol.Number() == 1;
}

namespace {

// The port through the monitor: used as it is, configured anew or added.
PortSetUp TcpIpPortThroughMonitor(const EngineServices& services, PortMonitorSession& monitor,
                                  const WString& name) {
  PortSetUp setUp;
  setUp.throughMonitor = true;
  if (IsInstallationTcpIpPort(services.registry, name)) {
    setUp.existing = true;
    return setUp;
  }
  const std::vector<uint8_t> data = RawPortData(name, name);
  uint32_t status = 0;
  uint32_t error = 0;
  bool reached = monitor.Data(kAddPortCommand, data, status, &error);
  // A port of that name with other values (or one the registry does not show): configured.
  if (reached && status == kErrorAlreadyExists) {
    reached = monitor.Data(kConfigPortCommand, data, status, &error);
  }
  if (!reached || status != 0) {
    setUp.fault = PortSetUpFault::kMonitorRefused;
    setUp.error = reached ? status : error;
  }
  return setUp;
}

}  // namespace

PortSetUp CreateTcpIpPort(const EngineServices& services, const WString& ipAddress,
                          SpoolerRestartWhen when) {
  // An empty name would open the monitor's own key and write the port's values into it.
  if (Bounded(ipAddress).empty()) return Failed(PortSetUpFault::kKeyRefused);
  if (auto monitor = services.spooler.OpenPortMonitor(kTcpIpMonitor)) {
    return TcpIpPortThroughMonitor(services, *monitor, ipAddress);
  }
  PortSetUp setUp;
  RegistryStatus status = RegistryStatus::kOk;
  auto ports =
      services.registry.OpenMachineKey(WString(kTcpIpPortsKey), kRegistryReadWrite, &status);
  // No monitor key: no subkey can be made under it.
  if (!ports) return Failed(KeyFault(status));
  const WString name = Bounded(ipAddress);
  auto port = ports->CreateSubkey(name, kRegistryReadWrite);
  if (!port) return Failed(PortSetUpFault::kKeyRefused);

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
  // Every value is tried, whatever the one before it came to.
  for (const auto& [valueName, value] : values) {
    if (!port->SetValue(valueName, value)) setUp.fault = PortSetUpFault::kValueRefused;
  }

  VersionInfo version;
  if (!services.system.QueryVersion(version)) return Failed(PortSetUpFault::kVersionUnknown);
  // The monitor of Windows 2000, XP and 2003 reads version 1 of the port's configuration.
  if (!port->SetValue(u"Version", RegistryValue::Dword(version.major == 5 ? 1 : 2))) {
    setUp.fault = PortSetUpFault::kValueRefused;
  }
  port.reset();
  ports.reset();
  setUp.restartNeeded = true;
  if (when == SpoolerRestartWhen::kNow) {
    setUp.restart = RestartSpooler(services.serviceManager, services.clock);
  }
  return setUp;
}

bool ListSerialPorts(Registry& registry, std::vector<WString>& ports, RegistryStatus* status) {
  RegistryStatus opened = RegistryStatus::kOk;
  auto key = registry.OpenMachineKey(WString(kSerialDeviceMapKey), kRegistryRead, &opened);
  if (status) *status = key ? RegistryStatus::kOk : opened;
  // Windows makes the device map's key with the first serial port: none, no key.
  if (!key) return opened == RegistryStatus::kNotFound;
  for (uint32_t index = 0;; ++index) {
    WString name;
    RegistryValue value;
    const RegistryStatus read = key->EnumValue(index, kNameCapacity, kDataCapacity, name, value);
    if (read == RegistryStatus::kNoMoreItems) break;
    // A key that refuses to be read (deleted meanwhile) would answer the same at every index:
    // stop instead of asking for ever, and say so.
    if (read == RegistryStatus::kFailed || read == RegistryStatus::kNotFound) {
      if (status) *status = read;
      return false;
    }
    // A value too long for the buffers names no port.
    if (read != RegistryStatus::kOk || NamesBluetoothModem(name)) continue;
    ports.push_back(value.Text());
  }
  return true;
}

std::vector<WString> PortsOfList(WStringView portList) {
  std::vector<WString> ports;
  size_t start = 0;
  for (;;) {
    const size_t comma = portList.find(u',', start);
    WStringView port =
        portList.substr(start, comma == WStringView::npos ? WStringView::npos : comma - start);
    while (!port.empty() && port.front() == u' ') port.remove_prefix(1);
    while (!port.empty() && port.back() == u' ') port.remove_suffix(1);
    if (!port.empty()) ports.emplace_back(port);
    if (comma == WStringView::npos) return ports;
    start = comma + 1;
  }
}

bool PortListHolds(SystemInfo& system, WStringView portList, WStringView port) {
  const std::vector<WString> ports = PortsOfList(portList);
  return std::any_of(ports.begin(), ports.end(),
                     [&](const WString& listed) { return system.SameName(listed, port); });
}

}  // namespace kestrava
