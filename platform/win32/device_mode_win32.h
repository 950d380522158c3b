// The portable device mode laid over the system's DEVMODEW: the offsets the logic uses are
// checked here against the structure itself, and the bytes are handed to the system in a
// buffer aligned for it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/device_mode.h"
#include "platform/win32/win32.h"

namespace kestrava::win32 {

static_assert(sizeof(DEVMODEW) == DeviceMode::kPublicSize, "the public wide device mode");
static_assert(offsetof(DEVMODEW, dmSize) == DeviceMode::kSizeOffset, "dmSize");
static_assert(offsetof(DEVMODEW, dmDriverExtra) == DeviceMode::kDriverExtraOffset, "dmDriverExtra");
static_assert(offsetof(DEVMODEW, dmFields) == DeviceMode::kFieldsOffset, "dmFields");
static_assert(offsetof(DEVMODEW, dmOrientation) == DeviceMode::kOrientationOffset, "dmOrientation");
static_assert(offsetof(DEVMODEW, dmPaperSize) == DeviceMode::kPaperSizeOffset, "dmPaperSize");
static_assert(offsetof(DEVMODEW, dmPaperLength) == DeviceMode::kPaperLengthOffset, "dmPaperLength");
static_assert(offsetof(DEVMODEW, dmPaperWidth) == DeviceMode::kPaperWidthOffset, "dmPaperWidth");
static_assert(DeviceMode::kPaperFieldsEnd == offsetof(DEVMODEW, dmPaperWidth) + sizeof(short),
              "the paper fields end after dmPaperWidth");
static_assert(DM_ORIENTATION == kDeviceModeOrientation && DM_PAPERSIZE == kDeviceModePaperSize &&
                  DM_PAPERLENGTH == kDeviceModePaperLength &&
                  DM_PAPERWIDTH == kDeviceModePaperWidth,
              "dmFields bits");
static_assert(DMORIENT_PORTRAIT == kPortrait && DMPAPER_USER == kUserPaperSize, "paper values");

// A device mode's bytes in storage aligned for DEVMODEW, never shorter than the public part or
// than the sizes its own fields name (the missing bytes are zeros), so that the system never
// reads past the buffer.
class AlignedDeviceMode {
 public:
  explicit AlignedDeviceMode(const DeviceMode& mode)
      : storage_((std::max({mode.bytes.size(), sizeof(DEVMODEW),
                            size_t{mode.size()} + mode.driverExtra()}) +
                  7) /
                     8,
                 0) {
    std::memcpy(storage_.data(), mode.bytes.data(), mode.bytes.size());
  }
  const DEVMODEW* Get() const { return reinterpret_cast<const DEVMODEW*>(storage_.data()); }

 private:
  std::vector<uint64_t> storage_;
};

}  // namespace kestrava::win32
