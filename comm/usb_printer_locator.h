// The USB printers attached now: the present interfaces of the USB printer class, kept when
// their vendor is supported, named by the USB port the system's printing support gave them
// (USB001, USB002, ...). Everything here only reads: the device-interface database, the
// registry, and device handles it opens for the caller.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "comm/comm_services.h"

namespace kestrava {

// Interface indices 0 to 254 are visited, no more.
inline constexpr uint32_t kUsbInterfaceLimit = 255;
// The registry values of an interface are read into a buffer of this size.
inline constexpr size_t kInterfaceValueSize = 261;
using InterfaceValue = std::array<uint8_t, kInterfaceValueSize>;

// Whether characters 9 to 16 of a device path (its vid_vvvv part) name one of the supported
// vendors, without regard to case.
bool IsSupportedUsbVendor(WStringView devicePath);

// Whether the release (as platform detection names it) is Windows 8 or later, whose USB printing
// support no longer keeps "Linked" up to date: printers are then listed without that test.
bool LinkedIsUnreliable(const WString& osName);

// "USB%03d" of a port number: 1 is USB001, 12 is USB012, four digits print in full.
WString UsbPortName(uint32_t portNumber);

// The key under HKEY_LOCAL_MACHINE that holds an interface's values of `subkey`: the class
// key, the path with every "\" made "#", then "\#\" and the subkey.
WString InterfaceValueKey(const WString& devicePath, const WString& subkey);

class UsbPrinterLocator {
 public:
  // `skipLinkedCheck` is the process's flag (see PortLink); it is read at every call.
  UsbPrinterLocator(const CommServices& services, const bool& skipLinkedCheck);

  enum class Walk {
    kCompleted,     // every index was visited (or the visitor stopped)
    kNoSet,         // the system gave no interface set
    kDetailFailed,  // an interface's path could not be read: the walk ended there
  };

  // The enumeration every operation shares: the present interfaces of the USB printer class,
  // indices 0 to 254 up to the first the system does not return, skipping those whose flags
  // are not exactly "active" and those of other vendors. `visit` gets each path in order and
  // returns false to stop. The set is released on every path.
  Walk ForEachSupportedPrinter(const std::function<bool(const WString& devicePath)>& visit);

  // Reads value `name` of the interface's `subkey` into the zero-filled buffer (its first 261
  // bytes; the type is not looked at). Debug output "打开键失败" when the key cannot be opened
  // and "读取键失败" when the value cannot be read.
  bool ReadInterfaceValue(const WString& devicePath, const WString& subkey, const WString& name,
                          InterfaceValue& buffer);

  // The connection and port tests: unless skipLinkedCheck is set, "Linked" of "Control" must
  // be readable ("read regkey failed") and not start with 0 ("print is off-line"); then the
  // port number is the first 32-bit value of "Port Number" of "Device Parameters" ("read
  // regkey failed"). Nothing when the interface is skipped.
  std::optional<uint32_t> ConnectedPortNumber(const WString& devicePath);

  // Empties `ports`, then adds the port name of every printer passing the enumeration and the
  // tests (enumeration order, duplicates kept). True when one was added; false, with the list
  // empty, when the enumeration failed.
  bool ListUsbPrinterPorts(std::vector<WString>& ports);

  // The first printer passing the enumeration, without the connection and port tests, opened
  // for reading and writing, not shared. Nothing when there is none or it cannot be opened.
  std::unique_ptr<Device> OpenFirstUsbPrinter();

  // The first printer passing the enumeration and the tests whose port name equals `port`
  // exactly (USB007, not usb007), opened as above.
  std::unique_ptr<Device> OpenUsbPrinterByPort(const WString& port);

 private:
  void Debug(WStringView text);

  DeviceInterfaces& interfaces_;
  Registry& registry_;
  DeviceIo& deviceIo_;
  Process& process_;
  SystemInfo& system_;
  const bool& skipLinkedCheck_;
};

}  // namespace kestrava
