// Reads and writes that the system runs on its own (overlapped I/O), bounded in time: a call is
// waited for up to its time, then cancelled and waited for a bounded time more. No driver is
// obliged to honour a cancel (some USB-serial and Bluetooth drivers do not): a call that still
// runs after that is abandoned. The file is closed, and the call's block and buffer, which the
// system may still write into or read from, are left to the heap for the rest of the process,
// never freed.
//
// Data goes through a buffer of the call's own, never the caller's: the caller's memory is free
// to go as soon as the call returns, whatever the driver does later.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/device_io.h"

namespace kestrava {

// How long a cancelled call is waited for before it is abandoned. A driver that honours the
// cancel ends the call within milliseconds; two seconds leave a slow one (a Bluetooth link being
// torn down) the time it needs, and bound what a driver that ignores the cancel costs the caller.
inline constexpr uint32_t kCancelGraceMs = 2000;

// One call as the system runs it: its block (the OVERLAPPED) lives in this object.
class PendingCall {
 public:
  // Only destroyed once the call has ended.
  virtual ~PendingCall() = default;
  // Waits up to `timeoutMs` for the call to end; true when it has.
  virtual bool WaitEnded(uint32_t timeoutMs) = 0;
  // Asks the driver to end the call early; it need not.
  virtual void Cancel() = 0;
  // How the call ended; only once it has.
  virtual IoResult Outcome() = 0;
};

// The system's side of a file opened for overlapped I/O.
class OverlappedFile {
 public:
  virtual ~OverlappedFile() = default;
  // Start a call on `size` bytes of `buffer` at `offset` (devices ignore it). `buffer` stays
  // valid until the call has ended. Nothing when the call failed at once; `error` says why.
  virtual std::unique_ptr<PendingCall> StartRead(void* buffer, uint32_t size, uint64_t offset,
                                                 uint32_t& error) = 0;
  virtual std::unique_ptr<PendingCall> StartWrite(const void* buffer, uint32_t size,
                                                  uint64_t offset, uint32_t& error) = 0;
  // A call did not end after its cancel: close the handle now, and leave alone whatever that
  // call may still use (its event too).
  virtual void Abandon() = 0;
};

// Device::Read and Device::Write over an overlapped file, one call at a time. After an abandoned
// call every call fails with kErrorInvalidHandle.
class OverlappedCalls {
 public:
  explicit OverlappedCalls(OverlappedFile& file) : file_(file) {}

  // As Device::Write. A write the cancel came too late for has still ended whole; one that did
  // not end fails with kErrorTimeout.
  IoResult Write(const void* data, uint32_t size, uint32_t timeoutMs);
  // As Device::Read: one past its time yields what came; one that never ended, not even after
  // its cancel, fails with kErrorTimeout.
  IoResult Read(void* data, uint32_t capacity, uint32_t timeoutMs);

  bool abandoned() const { return abandoned_; }

 private:
  struct Call;
  // Leaves an abandoned call to the heap.
  static void KeepForGood(std::unique_ptr<Call> call);
  // Waits for the call as described above; false when it was abandoned.
  bool Finish(std::unique_ptr<Call>& call, uint32_t timeoutMs, bool& inTime, IoResult& outcome);

  OverlappedFile& file_;
  uint64_t offset_ = 0;
  bool abandoned_ = false;
};

}  // namespace kestrava
