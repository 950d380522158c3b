#include "platform/win32/device_io_win32.h"

#include "platform/overlapped_calls.h"

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

// Cancels the overlapped call on `file`: only that call where the system has CancelIoEx
// (Vista and later), else every call the calling thread started on the handle, which is the
// same here (each device is used by one thread, one call at a time).
void CancelCall(HANDLE file, OVERLAPPED& overlapped) {
  using CancelIoExFn = BOOL(WINAPI*)(HANDLE, LPOVERLAPPED);
  static const auto cancelIoEx = win32::LoadedFunction<CancelIoExFn>(L"kernel32", "CancelIoEx");
  if (cancelIoEx) {
    cancelIoEx(file, &overlapped);
  } else {
    CancelIo(file);
  }
}

// One overlapped call on a device's handle; its OVERLAPPED lives here, for as long as the call
// may use it.
class Win32PendingCall final : public PendingCall {
 public:
  Win32PendingCall(HANDLE file, HANDLE event, uint64_t offset) : file_(file) {
    overlapped_.Offset = static_cast<DWORD>(offset);
    overlapped_.OffsetHigh = static_cast<DWORD>(offset >> 32);
    overlapped_.hEvent = event;
    ResetEvent(event);
  }

  OVERLAPPED* overlapped() { return &overlapped_; }

  bool WaitEnded(uint32_t timeoutMs) override {
    // A call that ended at once, or before the wait, is not waited for.
    if (HasOverlappedIoCompleted(&overlapped_)) return true;
    WaitForSingleObject(overlapped_.hEvent, timeoutMs);
    return HasOverlappedIoCompleted(&overlapped_);
  }

  void Cancel() override { CancelCall(file_, overlapped_); }

  IoResult Outcome() override {
    IoResult result;
    DWORD count = 0;
    // The call has ended: nothing to wait for.
    result.ok = GetOverlappedResult(file_, &overlapped_, &count, FALSE) != FALSE;
    result.count = count;
    if (!result.ok) result.error = GetLastError();
    return result;
  }

 private:
  HANDLE file_;
  OVERLAPPED overlapped_{};
};

// The device's handle and the event its calls signal, as the bounded calls use them.
class Win32OverlappedFile final : public OverlappedFile {
 public:
  Win32OverlappedFile(win32::ScopedFile file, win32::ScopedKernelHandle event)
      : file_(std::move(file)), event_(std::move(event)) {}

  HANDLE handle() const { return file_.Get(); }

  std::unique_ptr<PendingCall> StartRead(void* buffer, uint32_t size, uint64_t offset,
                                         uint32_t& error) override {
    auto call = std::make_unique<Win32PendingCall>(file_.Get(), event_.Get(), offset);
    // The count of an overlapped call comes from GetOverlappedResult, never from the call.
    if (ReadFile(file_.Get(), buffer, size, nullptr, call->overlapped())) return call;
    return Pending(std::move(call), error);
  }

  std::unique_ptr<PendingCall> StartWrite(const void* buffer, uint32_t size, uint64_t offset,
                                          uint32_t& error) override {
    auto call = std::make_unique<Win32PendingCall>(file_.Get(), event_.Get(), offset);
    if (WriteFile(file_.Get(), buffer, size, nullptr, call->overlapped())) return call;
    return Pending(std::move(call), error);
  }

  void Abandon() override {
    file_.Reset();
    // The abandoned call may still signal the event: it stays open, so that its handle value is
    // never given to another object.
    event_.Release();
  }

 private:
  static std::unique_ptr<PendingCall> Pending(std::unique_ptr<Win32PendingCall> call,
                                              uint32_t& error) {
    const DWORD started = GetLastError();
    if (started == ERROR_IO_PENDING) return call;
    // Failed at once: the system never took the call.
    error = started;
    return nullptr;
  }

  win32::ScopedFile file_;
  win32::ScopedKernelHandle event_;
};

class Win32Device final : public Device {
 public:
  Win32Device(win32::ScopedFile file, win32::ScopedKernelHandle event)
      : file_(std::move(file), std::move(event)), calls_(file_) {}

  bool SetTimeouts(const CommTimeouts& timeouts) override {
    COMMTIMEOUTS system{};
    system.ReadIntervalTimeout = timeouts.readInterval;
    system.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    system.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    system.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    system.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    return SetCommTimeouts(file_.handle(), &system) != FALSE;
  }

  bool SetLineSettings(const LineSettings& settings, uint32_t* error) override {
    // The port's own block: its buffer limits and special characters are valid for it, which
    // a cleared block's are not (Windows refuses XON equal to XOFF, so a cleared block never
    // takes).
    DCB control;
    ZeroMemory(&control, sizeof(control));
    control.DCBlength = sizeof(control);
    if (!GetCommState(file_.handle(), &control)) {
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
    const bool set = SetCommState(file_.handle(), &control) != FALSE;
    if (error) *error = set ? 0 : GetLastError();
    return set;
  }

  bool Purge() override {
    return PurgeComm(file_.handle(), PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE;
  }

  IoResult Write(const void* data, uint32_t size, uint32_t timeoutMs) override {
    return calls_.Write(data, size, timeoutMs);
  }

  IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    return calls_.Read(data, capacity, timeoutMs);
  }

 private:
  Win32OverlappedFile file_;
  OverlappedCalls calls_;
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
