#include "platform/win32/device_io_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

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

  bool SetLineSettings(const LineSettings& settings) override {
    DCB control;
    ZeroMemory(&control, sizeof(control));
    control.DCBlength = sizeof(control);
    control.BaudRate = settings.baudRate;
    control.ByteSize = settings.byteSize;
    control.Parity = settings.parity;
    control.StopBits = settings.stopBits;
    control.fDtrControl = settings.dtrEnable ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    return SetCommState(file_.Get(), &control) != FALSE;
  }

  bool Purge() override { return PurgeComm(file_.Get(), PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE; }

  IoResult Write(const void* data, uint32_t size) override {
    OVERLAPPED overlapped = Overlapped();
    DWORD count = 0;
    IoResult result;
    if (WriteFile(file_.Get(), data, size, &count, &overlapped) ||
        GetLastError() == ERROR_IO_PENDING) {
      if (GetOverlappedResult(file_.Get(), &overlapped, &count, TRUE)) {
        result.ok = true;
        result.count = count;
        offset_ += count;
        return result;
      }
    }
    result.error = GetLastError();
    result.count = count;
    return result;
  }

  IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    OVERLAPPED overlapped = Overlapped();
    DWORD count = 0;
    IoResult result;
    if (!ReadFile(file_.Get(), data, capacity, &count, &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        result.error = error;
        return result;
      }
      if (WaitForSingleObject(event_.Get(), timeoutMs) != WAIT_OBJECT_0) {
        // Nothing came in time: give the read up and wait for the driver to let it go.
        CancelIo(file_.Get());
      }
    }
    if (!GetOverlappedResult(file_.Get(), &overlapped, &count, TRUE)) {
      const DWORD error = GetLastError();
      if (error != ERROR_OPERATION_ABORTED) {
        result.error = error;
        return result;
      }
    }
    result.ok = true;
    result.count = count;
    offset_ += count;
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
