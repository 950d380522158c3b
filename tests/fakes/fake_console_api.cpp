#include "tests/fakes/fake_console_api.h"

namespace kestrava {

namespace {

constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorSharingViolation = 32;

// The file system's share check: each side's access must be shared by the other.
bool Admits(const FakeConsoleApi::ScreenOpen& open, uint32_t access, uint32_t share) {
  const auto shares = [](uint32_t accessOf, uint32_t shareOf) {
    return (!(accessOf & FakeConsoleApi::kRead) || (shareOf & kShareRead)) &&
           (!(accessOf & FakeConsoleApi::kWrite) || (shareOf & kShareWrite));
  };
  return shares(access, open.share) && shares(open.access, share);
}

}  // namespace

ConsoleHandle FakeConsoleApi::Add(Object object, bool pseudo) {
  const ConsoleHandle handle = next_;
  // Windows 7's console pseudo-handles have their two low bits set.
  next_ += 4;
  handles_[pseudo ? handle | 3 : handle] = Handle{object, pseudo, false};
  return pseudo ? handle | 3 : handle;
}

const FakeConsoleApi::Handle* FakeConsoleApi::Find(ConsoleHandle handle) const {
  auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : &it->second;
}

bool FakeConsoleApi::Usable(const Handle& handle) const {
  if (handle.object != Object::kConsole) return true;
  return handle.pseudo ? attached : parentHasConsole || attached;
}

HandleKind FakeConsoleApi::KindOf(ConsoleHandle handle) {
  const Handle* found = Find(handle);
  if (!found) return HandleKind::kInvalid;
  switch (found->object) {
    case Object::kFile:
      return HandleKind::kDisk;
    case Object::kPipe:
      return HandleKind::kPipe;
    case Object::kNul:
      return HandleKind::kChar;
    case Object::kConsole:
      break;
  }
  return Usable(*found) ? HandleKind::kChar : HandleKind::kUnknown;
}

bool FakeConsoleApi::IsConsole(ConsoleHandle handle) {
  const Handle* found = Find(handle);
  return found && found->object == Object::kConsole && Usable(*found);
}

bool FakeConsoleApi::AttachToParentConsole() {
  calls.push_back("attach");
  if (attached) return true;
  if (!parentHasConsole) return false;
  attached = true;
  handlerAdded = false;
  if (standardOutput == kNoHandle && attachSetsOutput) standardOutput = Add(Object::kConsole);
  return true;
}

ConsoleHandle FakeConsoleApi::OpenConsoleOutput(uint32_t shareMode, uint32_t& error) {
  calls.push_back("open CONOUT$ share=" + std::to_string(shareMode));
  if (!attached) {
    error = kErrorInvalidHandle;
    return kNoHandle;
  }
  for (const ScreenOpen& open : screenOpens) {
    if (!Admits(open, kRead | kWrite, shareMode)) {
      error = kErrorSharingViolation;
      return kNoHandle;
    }
  }
  const ConsoleHandle handle = Add(Object::kConsole);
  handles_[handle].opened = true;
  screenOpenOf_[handle] = screenOpens.size();
  screenOpens.push_back({kRead | kWrite, shareMode});
  return handle;
}

bool FakeConsoleApi::WriteConsoleText(ConsoleHandle handle, const WString& text) {
  if (!IsConsole(handle)) return false;
  screen += text;
  return true;
}

bool FakeConsoleApi::WriteBytes(ConsoleHandle handle, const std::string& bytes) {
  auto it = handles_.find(handle);
  if (it == handles_.end() || !Usable(it->second)) return false;
  if (it->second.object == Object::kConsole) {
    screenBytes += bytes;
  } else {
    received[handle] += bytes;
  }
  return true;
}

void FakeConsoleApi::Close(ConsoleHandle handle) {
  calls.push_back("close");
  auto open = screenOpenOf_.find(handle);
  if (open != screenOpenOf_.end()) {
    screenOpens[open->second] = {0, kShareRead | kShareWrite};  // admits every other open
    screenOpenOf_.erase(open);
  }
  handles_.erase(handle);
}

bool FakeConsoleApi::ListenForControlSignals() {
  handlerAdded = true;
  return true;
}

FakeConsoleApi::SignalOutcome FakeConsoleApi::PressCtrlC() {
  if (!attached) return SignalOutcome::kNotDelivered;
  if (!handlerAdded) {
    endedByDefaultHandler = true;
    return SignalOutcome::kProcessEnded;
  }
  noted = true;
  return SignalOutcome::kNoted;
}

}  // namespace kestrava
