// Devices opened by name for raw I/O: serial and parallel ports, USB printer interfaces, any
// path the system opens as a file. Opening asks for read and write access, shares nothing
// with other handles and never creates anything. A device is closed when its object is
// destroyed.
//
// Writes are synchronous: they return when the system has taken the block or given up. Writes
// and reads are bounded in time, so that a device that never takes or answers anything cannot
// hold the caller.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/system_errors.h"
#include "platform/text.h"

namespace kestrava {

// Error codes as the system reports them (and those of system_errors.h).
enum : uint32_t {
  kErrorInvalidHandle = 6,
  kErrorGenFailure = 31,
  kErrorOperationAborted = 995,  // a call ended by its cancel
  kErrorDeviceNotConnected = 1167,
  kErrorTimeout = 1460,  // a write that did not end within its bound
};

// Serial and parallel port timeouts, in milliseconds (COMMTIMEOUTS).
struct CommTimeouts {
  uint32_t readInterval = 0;
  uint32_t readTotalMultiplier = 0;
  uint32_t readTotalConstant = 0;
  uint32_t writeTotalMultiplier = 0;
  uint32_t writeTotalConstant = 0;

  bool operator==(const CommTimeouts& other) const {
    return readInterval == other.readInterval && readTotalMultiplier == other.readTotalMultiplier &&
           readTotalConstant == other.readTotalConstant &&
           writeTotalMultiplier == other.writeTotalMultiplier &&
           writeTotalConstant == other.writeTotalConstant;
  }
};

// Serial line settings, applied to the port's current device control block: these fields are
// set and every kind of flow control (CTS, DSR, XON/XOFF both ways), parity checking, RTS
// control and abort-on-error are switched off; the rest stays as the port had it. The defaults
// are those of a cleared block. Windows refuses a block whose XON and XOFF characters are equal
// (even with XON/XOFF off) and takes no other than binary mode.
struct LineSettings {
  uint32_t baudRate = 0;
  uint8_t byteSize = 8;
  uint8_t parity = 0;     // NOPARITY
  uint8_t stopBits = 0;   // ONESTOPBIT
  bool dtrEnable = true;  // DTR_CONTROL_ENABLE
  bool binary = false;
  uint8_t xonChar = 0;
  uint8_t xoffChar = 0;

  bool operator==(const LineSettings& other) const {
    return baudRate == other.baudRate && byteSize == other.byteSize && parity == other.parity &&
           stopBits == other.stopBits && dtrEnable == other.dtrEnable && binary == other.binary &&
           xonChar == other.xonChar && xoffChar == other.xoffChar;
  }
};

// The outcome of a read or a write: whether the call succeeded, how many bytes moved, and
// the system's error code when it did not (0 when it did).
struct IoResult {
  bool ok = false;
  uint32_t count = 0;
  uint32_t error = 0;
};

class Device {
 public:
  virtual ~Device() = default;

  // Serial and parallel ports only; false on any other device, `error` (when given) telling why.
  virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
  virtual bool SetLineSettings(const LineSettings& settings, uint32_t* error = nullptr) = 0;
  // Clears the transmit and the receive buffer (serial and parallel ports); false elsewhere.
  virtual bool Purge() = 0;

  // Writes `size` bytes; `count` tells how many the device took (fewer when a write timeout
  // ends it early). Blocks the calling thread for at most about `timeoutMs`: a write that has
  // not ended by then is cancelled and fails with kErrorTimeout (a USB printer that is off line
  // or out of paper takes nothing and would otherwise hold the caller for good).
  virtual IoResult Write(const void* data, uint32_t size, uint32_t timeoutMs) = 0;

  // Reads up to `capacity` bytes. Blocks the calling thread for at most about `timeoutMs`:
  // a device that has not answered by then yields success with the bytes received so far
  // (none, usually), as a serial port's read timeout does.
  virtual IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs) = 0;
};

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;

  // Opens `path` (a device path, a port name such as COM3 or \\.\COM10, or a file) for
  // reading and writing, not shared, only when it exists. Nothing when the system refuses;
  // `error` (when given) tells why.
  virtual std::unique_ptr<Device> Open(const WString& path, uint32_t* error = nullptr) = 0;
};

}  // namespace kestrava
