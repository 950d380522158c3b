// TestDialogHost's RunAnswering: the work on a thread of its own, the message loop on the
// dialog's thread meanwhile, and the calls the work hands to that loop.
#include <chrono>

#include "tests/fakes/test_dialog_host.h"

namespace kestrava {

bool TestDialogHost::CarriedToDialog(const char* operation, const std::function<void()>& call) {
  if (!OffDialogThread()) return false;
  std::unique_lock<std::mutex> lock(carryLock_);
  if (!answering_) {
    lock.unlock();
    Misuse(operation, 0, "called off the dialog's thread");
    return true;
  }
  bool done = false;
  carried_.push_back({&call, &done});
  wake_.notify_all();
  wake_.wait(lock, [&] { return done; });
  return true;
}

bool TestDialogHost::RunAnswering(std::function<void()> work) {
  if (OffDialogThread()) {
    Misuse("RunAnswering", 0, "called off the dialog's thread");
    return false;
  }
  if (workersFailToStart) {
    work();
    return false;
  }
  ++answeringRuns;
  ShowWaitCursor(true);
  bool done = false;
  {
    std::lock_guard<std::mutex> lock(carryLock_);
    answering_ = true;
  }
  std::thread worker([&] {
    work();
    std::lock_guard<std::mutex> lock(carryLock_);
    done = true;
    wake_.notify_all();
  });
  std::unique_lock<std::mutex> lock(carryLock_);
  while (!done || !carried_.empty()) {
    if (!carried_.empty()) {
      const Carried next = carried_.front();
      carried_.pop_front();
      lock.unlock();
      (*next.call)();
      lock.lock();
      *next.done = true;
      wake_.notify_all();
      continue;
    }
    lock.unlock();
    ++answeredRounds;
    PumpPostedMessages();
    if (whileAnswering) whileAnswering();
    lock.lock();
    wake_.wait_for(lock, std::chrono::milliseconds(1), [&] { return done || !carried_.empty(); });
  }
  answering_ = false;
  lock.unlock();
  worker.join();
  ShowWaitCursor(false);
  return true;
}

}  // namespace kestrava
