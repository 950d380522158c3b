// The system's side of a file opened for overlapped I/O, with a scriptable driver: each call
// ends at once, after a while on the virtual clock or never, and honours a cancel or ignores it.
// As Windows requires, a call's block and buffer must stay valid until the call has ended: the
// driver keeps using them until then, also after the caller has given up, and a call object
// destroyed while it runs is counted (and, under AddressSanitizer, the driver's late use of it
// is a use after free).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/overlapped_calls.h"
#include "tests/fakes/fake_clock.h"

namespace kestrava {

class FakeOverlappedFile final : public OverlappedFile {
 public:
  // What the driver does with one call.
  struct Step {
    enum Kind { kEnds, kNeverEnds } kind = kEnds;
    uint32_t afterMs = 0;         // kEnds: how long after its start
    std::string reply;            // a read's bytes (at most its size)
    uint32_t takes = UINT32_MAX;  // a write's bytes taken (at most its size)
    bool honoursCancel = true;    // a cancel ends the call at once, as aborted
    uint32_t failsAtOnce = 0;     // the call is refused with this error

    static Step Ends(uint32_t afterMs, std::string reply = {}, uint32_t takes = UINT32_MAX);
    static Step Never(bool honoursCancel);
    static Step Refused(uint32_t error);
  };

  explicit FakeOverlappedFile(FakeClock& clock) : clock_(clock) {}

  std::unique_ptr<PendingCall> StartRead(void* buffer, uint32_t size, uint64_t offset,
                                         uint32_t& error) override;
  std::unique_ptr<PendingCall> StartWrite(const void* buffer, uint32_t size, uint64_t offset,
                                          uint32_t& error) override;
  void Abandon() override;

  // The driver ends every call still running, long after its caller gave up: a read's buffer
  // gets `late`, a write's buffer is read.
  void EndRunningCallsLate(const std::string& late);

  std::deque<Step> steps;  // one per call; none left: the call ends at once
  // What happened.
  bool closed = false;
  int calls = 0;
  int cancels = 0;
  int destroyedWhileRunning = 0;
  std::vector<uint64_t> offsets;
  std::string written;      // what writes took
  std::string lateWritten;  // what the late end of abandoned writes read

  // For the calls.
  struct Running;
  FakeClock& clock_;
  std::vector<Running*> running;  // calls that have not ended, as the driver sees them

 private:
  std::unique_ptr<PendingCall> Start(void* readInto, const void* writeFrom, uint32_t size,
                                     uint64_t offset, uint32_t& error);
};

}  // namespace kestrava
