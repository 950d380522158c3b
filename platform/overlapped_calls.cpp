#include "platform/overlapped_calls.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace kestrava {

struct OverlappedCalls::Call {
  std::vector<uint8_t> buffer;
  std::unique_ptr<PendingCall> system;
};

void OverlappedCalls::KeepForGood(std::unique_ptr<Call> call) {
  // Kept reachable for the rest of the process, never freed: neither the system's late writes
  // nor a leak check at exit find them gone. Neither the list nor its lock is ever destroyed,
  // so a thread that abandons a call while the process ends finds both.
  static std::mutex* const lock = new std::mutex;
  static std::vector<Call*>* const abandoned = new std::vector<Call*>;
  std::lock_guard<std::mutex> guard(*lock);
  abandoned->push_back(call.release());
}

bool OverlappedCalls::Finish(std::unique_ptr<Call>& call, uint32_t timeoutMs, bool& inTime,
                             IoResult& outcome) {
  inTime = call->system->WaitEnded(timeoutMs);
  if (!inTime) {
    call->system->Cancel();
    if (!call->system->WaitEnded(kCancelGraceMs)) {
      file_.Abandon();
      abandoned_ = true;
      KeepForGood(std::move(call));
      return false;
    }
  }
  outcome = call->system->Outcome();
  return true;
}

IoResult OverlappedCalls::Write(const void* data, uint32_t size, uint32_t timeoutMs) {
  IoResult result;
  if (abandoned_) {
    result.error = kErrorInvalidHandle;
    return result;
  }
  auto call = std::make_unique<Call>();
  call->buffer.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  call->system = file_.StartWrite(call->buffer.data(), size, offset_, result.error);
  if (!call->system) return result;
  bool inTime = true;
  IoResult outcome;
  if (!Finish(call, timeoutMs, inTime, outcome)) {
    result.error = kErrorTimeout;
    return result;
  }
  result.count = outcome.count;
  offset_ += outcome.count;
  // A write that the cancellation came too late for has still ended whole.
  if (outcome.ok && (inTime || outcome.count == size)) {
    result.ok = true;
    return result;
  }
  result.error = inTime ? outcome.error : uint32_t{kErrorTimeout};
  return result;
}

IoResult OverlappedCalls::Read(void* data, uint32_t capacity, uint32_t timeoutMs) {
  IoResult result;
  if (abandoned_) {
    result.error = kErrorInvalidHandle;
    return result;
  }
  auto call = std::make_unique<Call>();
  call->buffer.resize(capacity);
  call->system = file_.StartRead(call->buffer.data(), capacity, offset_, result.error);
  if (!call->system) return result;
  bool inTime = true;
  IoResult outcome;
  if (!Finish(call, timeoutMs, inTime, outcome)) {
    result.error = kErrorTimeout;
    return result;
  }
  // A read given up after its time yields what came, usually nothing.
  if (!outcome.ok && outcome.error != kErrorOperationAborted) {
    result.error = outcome.error;
    return result;
  }
  result.ok = true;
  result.count = std::min(outcome.count, capacity);
  if (result.count) std::memcpy(data, call->buffer.data(), result.count);
  offset_ += result.count;
  return result;
}

}  // namespace kestrava
