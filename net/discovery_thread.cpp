// The discovery thread and its lifetime against the dialog's.
#include "net/lan_discovery.h"

namespace kestrava {

bool LanDiscovery::StartDiscoveryThread(const DiscoveryDialog& dialog,
                                        const StartWorkerFn& startWorker) {
  if (stopping_) return false;
  // Set before the thread exists: a thread that ends at once clears it after this, never
  // before, so the flag cannot stay set with no thread behind it.
  dialog.running = true;
  std::shared_ptr<LanDiscovery> self = shared_from_this();
  if (startWorker([self, dialog] { self->DiscoveryThread(dialog); })) return true;
  dialog.running = false;
  return false;
}

void LanDiscovery::DiscoveryThread(const DiscoveryDialog& dialog) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    // Begun after the dialog's end: its members may be gone.
    if (stopping_) return;
    ++activeThreads_;
  }
  while (interfaceKind_ == kLanInterfaceKind && !stopping_) {
    const bool goOn = DiscoveryCycle(dialog.printers);
    if (stopping_) break;
    dialog.cycleEnded();
    if (!goOn) break;
    // A cycle that could not wait would otherwise come round at once, flooding the dialog
    // with messages and a core with work.
    if (!lastCycleWaited_) clock_.Sleep(kIdleCyclePaceMs);
  }
  dialog.running = false;
  std::lock_guard<std::mutex> guard(lock_);
  --activeThreads_;
  threadLeft_.notify_all();
}

void LanDiscovery::StopDiscoveryThread() {
  std::unique_lock<std::mutex> guard(lock_);
  stopping_ = true;
  if (socket_) socket_->Cancel();
  threadLeft_.wait(guard, [this] { return activeThreads_ == 0; });
}

}  // namespace kestrava
