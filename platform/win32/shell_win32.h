#pragma once

#include "platform/shell.h"

namespace kestrava {

// CreateProcessW with CREATE_NO_WINDOW (and a pipe for the output asked for), ShellExecuteW of
// shell32, GetSystemDirectoryW. A process that outlives its wait is ended with
// TerminateProcess.
class Win32Shell final : public Shell {
 public:
  using Shell::RunHiddenAndWait;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override;
};

}  // namespace kestrava
