#include "comm/usb_printer_locator.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

// Under WOW64 HKLM\SYSTEM is not redirected, so the 32-bit program reads the same keys.
constexpr const char16_t* kInterfaceClassKey =
    u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
    u"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";

constexpr const char16_t* kSupportedVendors[] = {
    u"vid_067b", u"vid_0416", u"vid_1cbe", u"vid_0483", u"vid_0471",
    u"vid_28e9", u"vid_1FC9", u"vid_04b8", u"vid_2d37", u"vid_0a5f",
};

// The vid_vvvv part of \\?\usb#vid_vvvv&pid_pppp#...: characters 9 to 16, counting from 1.
constexpr size_t kVendorAt = 8;
constexpr size_t kVendorLength = 8;

bool EqualIgnoringCase(WStringView a, WStringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

uint32_t FirstNumber(const InterfaceValue& buffer) {
  return static_cast<uint32_t>(buffer[0]) | static_cast<uint32_t>(buffer[1]) << 8 |
         static_cast<uint32_t>(buffer[2]) << 16 | static_cast<uint32_t>(buffer[3]) << 24;
}

}  // namespace

bool IsSupportedUsbVendor(WStringView devicePath) {
  if (devicePath.size() < kVendorAt + kVendorLength) return false;
  const WStringView vendor = devicePath.substr(kVendorAt, kVendorLength);
  return std::any_of(
      std::begin(kSupportedVendors), std::end(kSupportedVendors),
      [&](const char16_t* supported) { return EqualIgnoringCase(vendor, supported); });
}

bool LinkedIsUnreliable(const WString& osName) {
  constexpr const char16_t* kReleases[] = {u"Windows 8", u"Windows 8.1", u"Windows 10",
                                           u"Windows 10.1", u"Windows 11"};
  return std::find(std::begin(kReleases), std::end(kReleases), osName) != std::end(kReleases);
}

WString UsbPortName(uint32_t portNumber) {
  return FormatText(u"USB%03d", {static_cast<int>(portNumber)});
}

WString InterfaceValueKey(const WString& devicePath, const WString& subkey) {
  WString flattened = devicePath;
  std::replace(flattened.begin(), flattened.end(), u'\\', u'#');
  return kInterfaceClassKey + flattened + u"\\#\\" + subkey;
}

UsbPrinterLocator::UsbPrinterLocator(const CommServices& services, const bool& skipLinkedCheck)
    : interfaces_(services.deviceInterfaces),
      registry_(services.registry),
      deviceIo_(services.deviceIo),
      process_(services.process),
      system_(services.system),
      skipLinkedCheck_(skipLinkedCheck) {}

void UsbPrinterLocator::Debug(WStringView text) {
  process_.DebugOutput(system_.WideToAnsi(text));
}

UsbPrinterLocator::Walk UsbPrinterLocator::ForEachSupportedPrinter(
    const std::function<bool(const WString& devicePath)>& visit) {
  std::unique_ptr<DeviceInterfaceSet> set =
      interfaces_.PresentInterfaces(kUsbPrinterInterfaceClass);
  if (!set) return Walk::kNoSet;
  for (uint32_t index = 0; index < kUsbInterfaceLimit; ++index) {
    uint32_t flags = 0;
    if (!set->Interface(index, flags)) break;
    // Exactly active: an interface that is also the default one (3) is skipped as well.
    if (flags != kInterfaceActive) continue;
    WString path;
    if (!set->DetailPath(index, path)) return Walk::kDetailFailed;
    if (!IsSupportedUsbVendor(path)) continue;
    if (!visit(path)) break;
  }
  return Walk::kCompleted;
}

bool UsbPrinterLocator::ReadInterfaceValue(const WString& devicePath, const WString& subkey,
                                           const WString& name, InterfaceValue& buffer) {
  buffer.fill(0);
  std::unique_ptr<RegistryKey> key =
      registry_.OpenMachineKey(InterfaceValueKey(devicePath, subkey), kRegistryRead);
  if (!key) {
    Debug(u"打开键失败");
    return false;
  }
  RegistryValue value;
  if (key->QueryValue(name, kInterfaceValueSize, value) != RegistryStatus::kOk) {
    Debug(u"读取键失败");
    return false;
  }
  std::memcpy(buffer.data(), value.data.data(), std::min(value.data.size(), buffer.size()));
  return true;
}

std::optional<uint32_t> UsbPrinterLocator::ConnectedPortNumber(const WString& devicePath) {
  InterfaceValue buffer{};
  if (!skipLinkedCheck_) {
    if (!ReadInterfaceValue(devicePath, u"Control", u"Linked", buffer)) {
      Debug(u"read regkey failed");
      return std::nullopt;
    }
    if (buffer[0] == 0) {
      Debug(u"print is off-line");
      return std::nullopt;
    }
  }
  if (!ReadInterfaceValue(devicePath, u"Device Parameters", u"Port Number", buffer)) {
    Debug(u"read regkey failed");
    return std::nullopt;
  }
  return FirstNumber(buffer);
}

bool UsbPrinterLocator::ListUsbPrinterPorts(std::vector<WString>& ports) {
  ports.clear();
  const Walk walk = ForEachSupportedPrinter([&](const WString& path) {
    if (std::optional<uint32_t> port = ConnectedPortNumber(path)) {
      ports.push_back(UsbPortName(*port));
    }
    return true;
  });
  // A path that cannot be read ends the operation as a failure: no list at all rather than
  // one that says false and still names ports.
  if (walk == Walk::kDetailFailed) ports.clear();
  return !ports.empty();
}

std::unique_ptr<Device> UsbPrinterLocator::OpenFirstUsbPrinter() {
  std::unique_ptr<Device> device;
  ForEachSupportedPrinter([&](const WString& path) {
    device = deviceIo_.Open(path);
    return false;
  });
  return device;
}

std::unique_ptr<Device> UsbPrinterLocator::OpenUsbPrinterByPort(const WString& port) {
  std::unique_ptr<Device> device;
  ForEachSupportedPrinter([&](const WString& path) {
    std::optional<uint32_t> number = ConnectedPortNumber(path);
    if (!number || UsbPortName(*number) != port) return true;
    device = deviceIo_.Open(path);
    return false;
  });
  return device;
}

}  // namespace kestrava
