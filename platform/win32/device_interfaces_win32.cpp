#include "platform/win32/device_interfaces_win32.h"

#include <optional>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"
// clang-format off
#include <setupapi.h>
// clang-format on

namespace kestrava {

namespace {

struct DeviceInfoTraits {
  using Handle = HDEVINFO;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { SetupDiDestroyDeviceInfoList(h); }
};
using ScopedDeviceInfo = win32::Scoped<DeviceInfoTraits>;

GUID ToGuid(const InterfaceClass& c) {
  GUID guid{};
  guid.Data1 = c.data1;
  guid.Data2 = c.data2;
  guid.Data3 = c.data3;
  for (int i = 0; i < 8; ++i) guid.Data4[i] = c.data4[i];
  return guid;
}

class Win32DeviceInterfaceSet final : public DeviceInterfaceSet {
 public:
  Win32DeviceInterfaceSet(ScopedDeviceInfo set, const GUID& guid)
      : set_(std::move(set)), guid_(guid) {}

  bool Interface(uint32_t index, uint32_t& flags) override {
    const SP_DEVICE_INTERFACE_DATA* data = Enumerate(index);
    if (!data) return false;
    flags = data->Flags;
    return true;
  }

  bool DetailPath(uint32_t index, WString& path) override {
    const SP_DEVICE_INTERFACE_DATA* found = Enumerate(index);
    if (!found) return false;
    SP_DEVICE_INTERFACE_DATA data = *found;
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set_.Get(), &data, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return false;
    // A DWORD-aligned buffer: the detail record begins with one.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    // The record's own size, not the buffer's: 6 on 32-bit Windows (packed), 8 on 64-bit.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set_.Get(), &data, detail, size, nullptr, nullptr)) {
      return false;
    }
    path = win32::FromWide(detail->DevicePath);
    return true;
  }

 private:
  // The interface at `index`. The set is a snapshot, so the last one enumerated is kept: a
  // walk asks for the flags and then the path of the same index.
  const SP_DEVICE_INTERFACE_DATA* Enumerate(uint32_t index) {
    if (lastIndex_ && *lastIndex_ == index) return &last_;
    lastIndex_.reset();
    last_ = SP_DEVICE_INTERFACE_DATA{};
    last_.cbSize = sizeof(last_);
    if (!SetupDiEnumDeviceInterfaces(set_.Get(), nullptr, &guid_, index, &last_)) return nullptr;
    lastIndex_ = index;
    return &last_;
  }

  ScopedDeviceInfo set_;
  GUID guid_;
  SP_DEVICE_INTERFACE_DATA last_{};
  std::optional<uint32_t> lastIndex_;
};

}  // namespace

std::unique_ptr<DeviceInterfaceSet> Win32DeviceInterfaces::PresentInterfaces(
    const InterfaceClass& interfaceClass) {
  const GUID guid = ToGuid(interfaceClass);
  ScopedDeviceInfo set(
      SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) return nullptr;
  return std::make_unique<Win32DeviceInterfaceSet>(std::move(set), guid);
}

}  // namespace kestrava
