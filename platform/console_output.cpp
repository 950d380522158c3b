#include "platform/console_output.h"

namespace kestrava {

ConsoleOutput::~ConsoleOutput() {
  if (opened_ != kNoHandle) api_.Close(opened_);
}

void ConsoleOutput::Connect() {
  if (connected_) return;
  connected_ = true;
  const ConsoleHandle standard = api_.StandardOutput();
  const HandleKind kind = standard == kNoHandle ? HandleKind::kInvalid : api_.KindOf(standard);
  if (kind == HandleKind::kDisk || kind == HandleKind::kPipe) {
    // Redirected: the caller reads bytes, and no console of anyone is attached.
    target_ = standard;
    listening_ = api_.ListenForControlSignals();
    return;
  }
  const bool attached = api_.AttachToParentConsole();
  // Attaching resets the control handlers: the program's own goes in after it.
  listening_ = api_.ListenForControlSignals();
  if (attached) {
    ChooseConsoleHandle(standard, kind);
  } else if (standard != kNoHandle && api_.IsConsole(standard)) {
    target_ = standard;
    console_ = true;
  } else if (kind == HandleKind::kChar) {
    target_ = standard;
  }
}

void ConsoleOutput::ChooseConsoleHandle(ConsoleHandle standard, HandleKind kind) {
  // Attaching may have given the process standard handles it had none of.
  const ConsoleHandle now = api_.StandardOutput();
  for (ConsoleHandle handle : {now, standard}) {
    if (handle != kNoHandle && api_.IsConsole(handle)) {
      target_ = handle;
      console_ = true;
      return;
    }
  }
  if (kind == HandleKind::kChar) {
    // A device the caller chose that is no console, such as NUL.
    target_ = standard;
    return;
  }
  uint32_t error = 0;
  opened_ = api_.OpenConsoleOutput(kShareRead | kShareWrite, error);
  if (opened_ == kNoHandle) return;
  target_ = opened_;
  console_ = true;
}

void ConsoleOutput::WriteLine(const WString& line) {
  Connect();
  if (target_ == kNoHandle) return;
  const WString text = line + u"\r\n";
  if (console_) {
    api_.WriteConsoleText(target_, text);
  } else {
    api_.WriteBytes(target_, Utf16ToUtf8(text));
  }
}

bool ConsoleOutput::InterruptionRequested() {
  return listening_ && api_.ControlSignalNoted();
}

}  // namespace kestrava
