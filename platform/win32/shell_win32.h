#pragma once

#include "platform/shell.h"

namespace kestrava {

// CreateProcessW with CREATE_NO_WINDOW (and a pipe for the output asked for), ShellExecuteW of
// shell32, GetSystemDirectoryW. A process that outlives its wait is ended with
// TerminateProcess. The program-files folders come from SHGetKnownFolderPath (Windows Vista and
// later, looked up at run time), else from SHGetFolderPathW.
class Win32Shell final : public Shell {
 public:
  using Shell::RunHiddenAndWait;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs, WString* output) override;
  bool OpenAddress(const WString& address) override;
  WString SystemFolder() override;
  WString ProgramFilesFolder(ProgramFiles which) override;

  // The folder as SHGetFolderPathW names it, the way for a system without the known-folder
  // call (Windows XP); empty when it names none.
  static WString ProgramFilesByFolderPath(ProgramFiles which);
};

}  // namespace kestrava
