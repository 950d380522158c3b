// The worker threads of Win32DialogHost: started with CreateThread, let go once they have
// ended, and waited for before the services they use go away; and the work the dialog's thread
// waits for while it answers its messages.
#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/dialog_state_win32.h"

namespace kestrava {

namespace {

DWORD WINAPI RunWorker(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

}  // namespace

bool Win32DialogHost::StartWorker(std::function<void()> work) {
  // The thread owns the work from the moment it exists.
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  win32::ScopedKernelHandle thread(CreateThread(nullptr, 0, RunWorker, owned.get(), 0, nullptr));
  if (!thread) return false;
  owned.release();
  std::lock_guard<std::mutex> guard(state_->workersLock);
  // Threads that have ended are let go, so that a thread started every few seconds (LAN
  // discovery) does not pile up handles.
  auto& workers = state_->workers;
  workers.erase(std::remove_if(workers.begin(), workers.end(),
                               [](const win32::ScopedKernelHandle& worker) {
                                 return WaitForSingleObject(worker.Get(), 0) == WAIT_OBJECT_0;
                               }),
                workers.end());
  workers.push_back(std::move(thread));
  return true;
}

bool Win32DialogHost::RunAnswering(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  win32::ScopedKernelHandle thread(CreateThread(nullptr, 0, RunWorker, owned.get(), 0, nullptr));
  if (!thread) {
    (*owned)();
    return false;
  }
  owned.release();
  ShowWaitCursor(true);
  HWND window = state_->dialog.load();
  // EnableWindow tells whether the window was disabled already: then it stays so.
  const bool wasDisabled = window && EnableWindow(window, FALSE);
  ++state_->answering;
  HANDLE handles[] = {thread.Get()};
  std::optional<int> quit;
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    if (woken != WAIT_OBJECT_0 + 1) {
      // The wait itself failed: the work still ends, without its calls to the dialog.
      WaitForSingleObject(thread.Get(), INFINITE);
      break;
    }
    // Sent messages (the work's carried calls among them) are handled inside PeekMessageW.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // For the loop that owns it, once this one has ended.
        quit = static_cast<int>(message.wParam);
        continue;
      }
      HWND dialog = state_->dialog.load();
      if (!dialog || !IsDialogMessageW(dialog, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
  --state_->answering;
  if (quit) PostQuitMessage(*quit);
  if (window && !wasDisabled) EnableWindow(window, TRUE);
  ShowWaitCursor(false);
  return true;
}

void Win32DialogHost::WaitForWorkers() {
  for (;;) {
    std::vector<win32::ScopedKernelHandle> running;
    {
      std::lock_guard<std::mutex> guard(state_->workersLock);
      running.swap(state_->workers);
    }
    if (running.empty()) return;
    // Outside the lock: a worker may start another meanwhile, which the next round waits for.
    for (const win32::ScopedKernelHandle& worker : running) {
      WaitForSingleObject(worker.Get(), INFINITE);
    }
  }
}

}  // namespace kestrava
