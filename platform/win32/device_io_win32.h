#pragma once

#include "platform/device_io.h"

namespace kestrava {

// CreateFileW with GENERIC_READ | GENERIC_WRITE, no sharing, OPEN_EXISTING; the serial calls
// (SetCommTimeouts, SetCommState, PurgeComm) on the handle.
//
// Every device is opened for overlapped I/O, which is what lets a read or a write end after its
// time: a USB printer that never answers, or is off line and takes nothing, would otherwise
// hold a synchronous ReadFile or WriteFile, and the dialog's thread with it, for good (the
// serial timeouts do not reach the USB printing driver). A call past its time is cancelled
// (CancelIoEx where the system has it, else CancelIo on the same thread) and waited for
// kCancelGraceMs more; a driver that ignores the cancel gets its handle closed, and the call's
// OVERLAPPED and buffer are left to it for good (platform/overlapped_calls.h). Callers still see
// the synchronous calls they ask for.
//
// SetLineSettings starts from the port's own block (GetCommState), as SetCommState wants it.
class Win32DeviceIo final : public DeviceIo {
 public:
  std::unique_ptr<Device> Open(const WString& path, uint32_t* error) override;
};

}  // namespace kestrava
