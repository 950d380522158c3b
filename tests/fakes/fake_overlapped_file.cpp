#include "tests/fakes/fake_overlapped_file.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

FakeOverlappedFile::Step FakeOverlappedFile::Step::Ends(uint32_t afterMs, std::string reply,
                                                        uint32_t takes) {
  Step step;
  step.afterMs = afterMs;
  step.reply = std::move(reply);
  step.takes = takes;
  return step;
}

FakeOverlappedFile::Step FakeOverlappedFile::Step::Never(bool honoursCancel) {
  Step step;
  step.kind = kNeverEnds;
  step.honoursCancel = honoursCancel;
  return step;
}

FakeOverlappedFile::Step FakeOverlappedFile::Step::Refused(uint32_t error) {
  Step step;
  step.failsAtOnce = error;
  return step;
}

// One call as the driver holds it: its buffer, and its status, which the driver writes.
struct FakeOverlappedFile::Running final : public PendingCall {
  Running(FakeOverlappedFile& file, const Step& step, void* readInto, const void* writeFrom,
          uint32_t size)
      : file_(file),
        step_(step),
        readInto_(readInto),
        writeFrom_(writeFrom),
        size_(size),
        endsAt_(file.clock_.MonotonicMs() + step.afterMs) {}

  ~Running() override {
    if (!ended_) ++file_.destroyedWhileRunning;
  }

  bool WaitEnded(uint32_t timeoutMs) override {
    if (ended_) return true;
    const uint64_t now = file_.clock_.MonotonicMs();
    if (step_.kind == Step::kEnds && endsAt_ <= now + timeoutMs) {
      file_.clock_.Advance(endsAt_ > now ? endsAt_ - now : 0);
      End(step_.reply, 0);
      return true;
    }
    file_.clock_.Advance(timeoutMs);
    return false;
  }

  void Cancel() override {
    ++file_.cancels;
    if (!ended_ && step_.honoursCancel) End("", kErrorOperationAborted);
  }

  IoResult Outcome() override { return outcome_; }

  // What the system does when the call ends: the buffer and the status are written.
  void End(const std::string& reply, uint32_t error) {
    if (readInto_) {
      outcome_.count = std::min<uint32_t>(size_, static_cast<uint32_t>(reply.size()));
      if (outcome_.count) std::memcpy(readInto_, reply.data(), outcome_.count);
    } else if (error == 0) {
      outcome_.count = std::min(size_, step_.takes);
      const std::string taken(static_cast<const char*>(writeFrom_), outcome_.count);
      (file_.closed ? file_.lateWritten : file_.written) += taken;
    }
    outcome_.ok = error == 0;
    outcome_.error = error;
    ended_ = true;
    auto& running = file_.running;
    running.erase(std::remove(running.begin(), running.end(), this), running.end());
  }

  FakeOverlappedFile& file_;
  Step step_;
  void* readInto_;
  const void* writeFrom_;
  uint32_t size_;
  uint64_t endsAt_;
  bool ended_ = false;
  IoResult outcome_;
};

std::unique_ptr<PendingCall> FakeOverlappedFile::Start(void* readInto, const void* writeFrom,
                                                       uint32_t size, uint64_t offset,
                                                       uint32_t& error) {
  ++calls;
  Step step;
  if (!steps.empty()) {
    step = steps.front();
    steps.pop_front();
  }
  if (closed) step.failsAtOnce = kErrorInvalidHandle;
  if (step.failsAtOnce) {
    error = step.failsAtOnce;
    return nullptr;
  }
  offsets.push_back(offset);
  auto call = std::make_unique<Running>(*this, step, readInto, writeFrom, size);
  running.push_back(call.get());
  if (step.kind == Step::kEnds && step.afterMs == 0) call->End(step.reply, 0);
  return call;
}

std::unique_ptr<PendingCall> FakeOverlappedFile::StartRead(void* buffer, uint32_t size,
                                                           uint64_t offset, uint32_t& error) {
  return Start(buffer, nullptr, size, offset, error);
}

std::unique_ptr<PendingCall> FakeOverlappedFile::StartWrite(const void* buffer, uint32_t size,
                                                            uint64_t offset, uint32_t& error) {
  return Start(nullptr, buffer, size, offset, error);
}

void FakeOverlappedFile::Abandon() {
  closed = true;
}

void FakeOverlappedFile::EndRunningCallsLate(const std::string& late) {
  // End erases the call from the list: work on a copy.
  const std::vector<Running*> ending = running;
  for (Running* call : ending) call->End(late, 0);
}

}  // namespace kestrava
