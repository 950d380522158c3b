#include "net/bluetooth_ports.h"

namespace kestrava {

namespace {

constexpr const char16_t* kEnumerationRoot = u"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM";
constexpr uint32_t kNameCapacity = 260;
constexpr uint32_t kValueCapacity = 100;  // 49 characters and the terminator

bool Contains(const WString& text, const char16_t* part) {
  return text.find(part) != WString::npos;
}

// A text value read with the fixed buffer; false when it cannot be read.
bool ReadText(RegistryKey& key, const WString& name, WString& text) {
  RegistryValue value;
  if (key.QueryValue(name, kValueCapacity, value) != RegistryStatus::kOk) return false;
  text = value.Text();
  return true;
}

enum class InstanceWalk { kNext, kStop };

// Every key of the walk is opened below the one already open (the root, a service key, a
// device key) rather than again from HKEY_LOCAL_MACHINE: the same keys, as the registry
// compares names without regard to case, for a fraction of the calls' cost.
InstanceWalk VisitInstance(RegistryKey& root, RegistryKey& service, const WString& instanceName,
                           std::vector<WString>& blePortNames,
                           std::vector<WString>& blePortLabels) {
  auto parameters =
      service.OpenSubkey(UpperAscii(instanceName) + u"\\Device Parameters", kRegistryRead);
  WString portName;
  if (!parameters || !ReadText(*parameters, u"PortName", portName)) return InstanceWalk::kStop;
  if (!Contains(portName, u"COM")) return InstanceWalk::kNext;

  const WString address = BluetoothAddressOfInstance(instanceName);
  auto device = root.OpenSubkey(u"Dev_" + address, kRegistryRead);
  if (!device) return InstanceWalk::kNext;
  WString firstSubkey;
  if (device->EnumSubkey(0, kNameCapacity, firstSubkey) != RegistryStatus::kOk) {
    return InstanceWalk::kStop;
  }
  auto named = device->OpenSubkey(firstSubkey, kRegistryRead);
  WString friendlyName;
  if (named && ReadText(*named, u"FriendlyName", friendlyName)) {
    blePortNames.push_back(portName);
    blePortLabels.push_back(FormatText(u"%s\r\n%s", {friendlyName, address}));
  }
  return InstanceWalk::kNext;
}

}  // namespace

WString BluetoothAddressOfInstance(const WString& instanceName) {
  const size_t ampersand = instanceName.rfind(u'&');
  const size_t start = ampersand == WString::npos ? 0 : ampersand + 1;
  const size_t underscore = instanceName.find(u'_', start);
  if (underscore == WString::npos) return WString();
  return instanceName.substr(start, underscore - start);
}

bool IsBluetoothSerialServiceKey(const WString& serviceName) {
  return (Contains(serviceName, u"_LOCALMFG") && !Contains(serviceName, u"_LOCALMFG&0000")) ||
         Contains(serviceName, u"_VID&000205ac");
}

void FindBluetoothPorts(Registry& registry, std::vector<WString>& blePortNames,
                        std::vector<WString>& blePortLabels) {
  auto root = registry.OpenMachineKey(kEnumerationRoot, kRegistryRead);
  if (!root) return;
  WString serviceName;
  for (uint32_t s = 0; root->EnumSubkey(s, kNameCapacity, serviceName) == RegistryStatus::kOk;
       ++s) {
    if (!IsBluetoothSerialServiceKey(serviceName)) continue;
    auto service = root->OpenSubkey(serviceName, kRegistryRead);
    if (!service) continue;
    WString instanceName;
    for (uint32_t i = 0; service->EnumSubkey(i, kNameCapacity, instanceName) == RegistryStatus::kOk;
         ++i) {
      if (VisitInstance(*root, *service, instanceName, blePortNames, blePortLabels) ==
          InstanceWalk::kStop) {
        break;
      }
    }
  }
}

}  // namespace kestrava
