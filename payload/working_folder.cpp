#include "payload/working_folder.h"

namespace kestrava {

bool IsSixtyFourBitWindows(SystemInfo& system) {
  if (const std::optional<uint16_t> machine = system.NativeMachine()) {
    return *machine == kMachineAmd64 || *machine == kMachineArm64;
  }
  const uint16_t architecture = system.NativeArchitecture();
  return architecture == kArchitectureAmd64 || architecture == kArchitectureArm64 ||
         architecture == kArchitectureIa64;
}

WString WorkingFolder(SystemInfo& system, Shell& shell) {
  WString folder = shell.ProgramFilesFolder(IsSixtyFourBitWindows(system) ? ProgramFiles::kX86
                                                                          : ProgramFiles::kNative);
  // A drive letter's path ("C:\..."), nothing relative and no share.
  if (folder.size() < 3 || folder[1] != u':' || folder[2] != u'\\') return WString();
  if (folder.back() != u'\\') folder += u'\\';
  return folder + WString(kWorkingFolderName) + u"\\";
}

}  // namespace kestrava
