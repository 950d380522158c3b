// The folder that receives the unpacked payload, one subfolder per platform, and holds the
// support log: "Kestrava V8.11\" under the system's own program-files folder, which only the
// administrators and the system may change. On 64-bit Windows that is the 32-bit programs'
// folder, "C:\Program Files (x86)\Kestrava V8.11\" where Windows is on C:; on 32-bit Windows,
// which has no such folder, "C:\Program Files\Kestrava V8.11\".
#pragma once

#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr WStringView kWorkingFolderName = u"Kestrava V8.11";
// The support log, at the top of the working folder; the unpacking keeps it.
inline constexpr WStringView kSupportLogName = u"setup.log";

// Whether the running Windows is a 64-bit one (x64 or ARM64), whatever the process is: the
// native machine where the system names it (IsWow64Process2), else the native architecture.
bool IsSixtyFourBitWindows(SystemInfo& system);

// The working folder, with its trailing backslash, under the program-files folder the shell
// names (FOLDERID_ProgramFilesX86 on 64-bit Windows, FOLDERID_ProgramFiles on 32-bit Windows);
// empty when the shell names none, or names one that is not a full path.
WString WorkingFolder(SystemInfo& system, Shell& shell);

}  // namespace kestrava
