#include "platform/win32/device_io_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

// Cancels the overlapped call on `file`: only that call where the system has CancelIoEx
// (Vista and later), else every call the calling thread started on the handle, which is the
// same here (each device is used by one thread, one call at a time).
void Cancel(HANDLE file, OVERLAPPED& overlapped) {
  using CancelIoExFn = BOOL(WINAPI*)(HANDLE, LPOVERLAPPED);
  static const auto cancelIoEx = win32::LoadedFunction<CancelIoExFn>(L"kernel32", "CancelIoEx");
  if (cancelIoEx) {
    cancelIoEx(file, &overlapped);
  } else {
    CancelIo(file);
  }
}

// Waits up to `timeoutMs` for the overlapped call that `started` began. Past that the call is
// cancelled, and the wait goes on until the system has let go of the buffer and the OVERLAPPED,
// which live in the caller's frame. The result tells whether the call ended in time; `ok`,
// `count` and `error` are its outcome as GetOverlappedResult gives it.
struct Finished {
  bool inTime = true;
  bool ok = false;
  DWORD count = 0;
  DWORD error = 0;
};
Finished Finish(HANDLE file, OVERLAPPED& overlapped, BOOL started, DWORD timeoutMs) {
  Finished finished;
  if (!started) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
      finished.error = error;
      return finished;
    }
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) {
      finished.inTime = false;
      Cancel(file, overlapped);
    }
  }
  finished.ok = GetOverlappedResult(file, &overlapped, &finished.count, TRUE) != FALSE;
  if (!finished.ok) finished.error = GetLastError();
  return finished;
}

class Win32Device final : public Device {
 public:
  Win32Device(win32::ScopedFile file, win32::ScopedKernelHandle event)
      : file_(std::move(file)), event_(std::move(event)) {}

  bool SetTimeouts(const CommTimeouts& timeouts) override {
    COMMTIMEOUTS system{};
    system.ReadIntervalTimeout = timeouts.readInterval;
    system.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    system.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    system.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    system.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    return SetCommTimeouts(file_.Get(), &system) != FALSE;
  }

  bool SetLineSettings(const LineSettings& settings, uint32_t* error) override {
    // The port's own block: its buffer limits and special characters are valid for it, which
    // a cleared block's are not (Windows refuses XON equal to XOFF, so a cleared block never
    // takes).
    DCB control;
    ZeroMemory(&control, sizeof(control));
    control.DCBlength = sizeof(control);
    if (!GetCommState(file_.Get(), &control)) {
      if (error) *error = GetLastError();
      return false;
    }
    control.BaudRate = settings.baudRate;
    control.ByteSize = settings.byteSize;
    control.Parity = settings.parity;
    control.StopBits = settings.stopBits;
    control.fBinary = settings.binary ? TRUE : FALSE;
    control.fParity = FALSE;
    control.fOutxCtsFlow = FALSE;
    control.fOutxDsrFlow = FALSE;
    control.fDtrControl = settings.dtrEnable ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    control.fDsrSensitivity = FALSE;
    control.fOutX = FALSE;
    control.fInX = FALSE;
    control.fRtsControl = RTS_CONTROL_DISABLE;
    control.fAbortOnError = FALSE;
    control.XonChar = static_cast<char>(settings.xonChar);
    control.XoffChar = static_cast<char>(settings.xoffChar);
    const bool set = SetCommState(file_.Get(), &control) != FALSE;
    if (error) *error = set ? 0 : GetLastError();
    return set;
  }

  bool Purge() override { return PurgeComm(file_.Get(), PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE; }

  IoResult Write(const void* data, uint32_t size, uint32_t timeoutMs) override {
    OVERLAPPED overlapped = Overlapped();
    // The count of an overlapped call comes from GetOverlappedResult, never from the call.
    const BOOL started = WriteFile(file_.Get(), data, size, nullptr, &overlapped);
    const Finished finished = Finish(file_.Get(), overlapped, started, timeoutMs);
    IoResult result;
    result.count = finished.count;
    offset_ += finished.count;
    // A write that the cancellation came too late for has still ended whole.
    if (finished.ok && (finished.inTime || finished.count == size)) {
      result.ok = true;
      return result;
    }
    result.error = finished.inTime ? finished.error : uint32_t{kErrorTimeout};
    return result;
  }

  IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    OVERLAPPED overlapped = Overlapped();
    const BOOL started = ReadFile(file_.Get(), data, capacity, nullptr, &overlapped);
    const Finished finished = Finish(file_.Get(), overlapped, started, timeoutMs);
    IoResult result;
    // A read given up after its time yields what came, usually nothing.
    if (!finished.ok && finished.error != ERROR_OPERATION_ABORTED) {
      result.error = finished.error;
      return result;
    }
    result.ok = true;
    result.count = finished.count;
    offset_ += finished.count;
    return result;
  }

 private:
  // Devices ignore the position; a plain file opened as a device is written and read on from
  // where the last call ended, as without overlapped I/O.
  OVERLAPPED Overlapped() {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset_);
    overlapped.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
    overlapped.hEvent = event_.Get();
    ResetEvent(event_.Get());
    return overlapped;
  }

  win32::ScopedFile file_;
  win32::ScopedKernelHandle event_;
  uint64_t offset_ = 0;
};

}  // namespace

std::unique_ptr<Device> Win32DeviceIo::Open(const WString& path, uint32_t* error) {
  win32::ScopedFile file(CreateFileW(win32::Wide(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!file) {
    if (error) *error = GetLastError();
    return nullptr;
  }
  win32::ScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) {
    if (error) *error = GetLastError();
    return nullptr;
  }
  if (error) *error = 0;
  return std::make_unique<Win32Device>(std::move(file), std::move(event));
}

}  // namespace kestrava
