#pragma once

#include "platform/device_interfaces.h"

namespace kestrava {

// SetupAPI: the interface set of SetupDiGetClassDevsW (present devices, by interface class),
// destroyed with SetupDiDestroyDeviceInfoList when the set object goes.
class Win32DeviceInterfaces final : public DeviceInterfaces {
 public:
  std::unique_ptr<DeviceInterfaceSet> PresentInterfaces(
      const InterfaceClass& interfaceClass) override;
};

}  // namespace kestrava
