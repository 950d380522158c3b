// Device interfaces as the system's device installer lists them: the set of present
// interfaces of one interface class, visited by index, each with its state flags and its
// device path (the name a device is opened by). A set is released when its object is
// destroyed, on every path.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"

namespace kestrava {

// An interface class identifier, laid out as the system's GUID.
struct InterfaceClass {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];

  bool operator==(const InterfaceClass& other) const {
    if (data1 != other.data1 || data2 != other.data2 || data3 != other.data3) return false;
    for (int i = 0; i < 8; ++i) {
      if (data4[i] != other.data4[i]) return false;
    }
    return true;
  }
};

// The USB printing support's printer interfaces, {28d78fad-5a12-11d1-ae5b-0000f803a8c2}.
inline constexpr InterfaceClass kUsbPrinterInterfaceClass = {
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

// Interface state flags.
enum : uint32_t {
  kInterfaceActive = 1,   // SPINT_ACTIVE
  kInterfaceDefault = 2,  // SPINT_DEFAULT
  kInterfaceRemoved = 4,  // SPINT_REMOVED
};

class DeviceInterfaceSet {
 public:
  virtual ~DeviceInterfaceSet() = default;

  // The interface at `index`: false when the set holds none there (past the last one), with
  // `flags` untouched.
  virtual bool Interface(uint32_t index, uint32_t& flags) = 0;

  // The device path of the interface at `index` (\\?\usb#vid_vvvv&pid_pppp#...#{class}): its
  // detail is asked for its size, then read. False, with `path` untouched, when the system
  // cannot give it.
  virtual bool DetailPath(uint32_t index, WString& path) = 0;
};

class DeviceInterfaces {
 public:
  virtual ~DeviceInterfaces() = default;

  // The interfaces of `interfaceClass` whose devices are present now; nothing when the
  // system cannot make the set.
  virtual std::unique_ptr<DeviceInterfaceSet> PresentInterfaces(
      const InterfaceClass& interfaceClass) = 0;
};

}  // namespace kestrava
