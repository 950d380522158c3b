#pragma once

#include "platform/shell.h"

namespace kestrava {

// ShellExecuteExW and ShellExecuteW of shell32, GetSystemDirectoryW.
class Win32Shell final : public Shell {
 public:
  std::optional<uint32_t> RunHiddenAndWait(const WString& program,
                                           const WString& parameters) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override;
};

}  // namespace kestrava
