// Scriptable device interfaces: interfaces by class with the flags and the path the test
// gives them, interfaces whose detail cannot be read (a device removed between the two
// questions) and a set the system cannot make. It counts the sets that are still open (every
// set must be released on every path) and records every index asked for.
#pragma once

#include <memory>
#include <vector>

#include "platform/device_interfaces.h"

namespace kestrava {

class FakeDeviceInterfaces final : public DeviceInterfaces {
 public:
  struct Entry {
    InterfaceClass interfaceClass;
    WString path;
    uint32_t flags = kInterfaceActive;
    bool detailFails = false;
  };

  // An interface of `interfaceClass` (by default the USB printer class), listed after the
  // ones added before.
  Entry& Add(const WString& path, uint32_t flags = kInterfaceActive,
             const InterfaceClass& interfaceClass = kUsbPrinterInterfaceClass);
  // The interface with `path` is gone: later sets do not list it.
  void Remove(const WString& path);

  std::unique_ptr<DeviceInterfaceSet> PresentInterfaces(
      const InterfaceClass& interfaceClass) override;

  int openSets() const { return *openSets_; }

  bool setUnavailable = false;
  std::vector<Entry> entries;
  int setsMade = 0;
  std::vector<uint32_t> indicesAsked;  // by Interface, over every set
  int detailsRead = 0;

 private:
  std::shared_ptr<int> openSets_ = std::make_shared<int>(0);
};

}  // namespace kestrava
