#pragma once

#include "platform/device_io.h"

namespace kestrava {

// CreateFileW with GENERIC_READ | GENERIC_WRITE, no sharing, OPEN_EXISTING; the serial calls
// (SetCommTimeouts, SetCommState, PurgeComm) on the handle.
//
// Every device is opened for overlapped I/O, which is what lets a read end after its time: a
// USB printer that never answers would otherwise hold a synchronous ReadFile, and the dialog's
// thread with it, for good (the serial read timeouts do not reach the USB printing driver).
// Writes wait for their completion, so callers still see the synchronous write they ask for.
class Win32DeviceIo final : public DeviceIo {
 public:
  std::unique_ptr<Device> Open(const WString& path, uint32_t* error) override;
};

}  // namespace kestrava
