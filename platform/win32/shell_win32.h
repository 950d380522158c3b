#pragma once

#include "platform/shell.h"

namespace kestrava {

// ShellExecuteExW and ShellExecuteW of shell32, GetSystemDirectoryW. A process that outlives
// its wait is ended with TerminateProcess.
class Win32Shell final : public Shell {
 public:
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override;
};

}  // namespace kestrava
