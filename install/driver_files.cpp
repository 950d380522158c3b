// Putting the driver files where the spooler registers them from: the model's own files from
// the platform folder's RES subfolder, and every common file at the top of the platform folder.
//
// The destination is the folder the spooler names for the platform. On 64-bit Windows a 32-bit
// program's accesses to the system folder are redirected to SysWOW64, but the spooler's folder
// (system32\spool) is exempt from that redirection, so the files land where the 64-bit spooler
// reads them.
#include "install/install_engine.h"
#include "platform/system_errors.h"

namespace kestrava {

namespace {

WString WithBackslash(WString folder) {
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

}  // namespace

void InstallEngine::NoteCopyFailure(const WString& path, uint32_t error) {
  // The first failure tells what went wrong; the copies after it are tried all the same.
  if (!lastFailure) lastFailure = InstallFailure{InstallStep::kDriverFiles, error, path};
}

bool InstallEngine::CopyModelFiles(const WString& driverDirectory, const WString& environment,
                                   int32_t modelPosition) {
  if (!services_) return false;
  bool copied = true;
  // The resource DLL first, then the GPD file; the second is copied whatever the first did.
  for (const WString& name : {At(resourceDllNames, modelPosition), At(gpdNames, modelPosition)}) {
    const WString relative = FormatText(u"%s\\RES\\%s", {environment, name});
    const WString source = driverSourceFolder + u"\\" + relative;
    const WString destination = FormatText(u"%s\\%s", {driverDirectory, name});
    uint32_t error = 0;
    if (!services_->files.Copy(source, destination, true, &error)) {
      NoteCopyFailure(source, error);
      copied = false;
    }
  }
  return copied;
}

bool InstallEngine::CopyPlatformFolder(const WString& destinationFolder,
                                       const WString& sourceFolder) {
  if (!services_) return false;
  const WString folder = WithBackslash(sourceFolder);
  std::vector<FolderEntry> entries;
  if (!services_->files.List(folder + u"*.*", entries)) {
    NoteCopyFailure(sourceFolder, kErrorPathNotFound);
    return false;
  }
  for (const FolderEntry& entry : entries) {
    // Subfolders ("RES", "Font") and the "." and ".." entries stay behind.
    if (entry.attributes.isFolder || entry.name == u"." || entry.name == u"..") continue;
    uint32_t error = 0;
    if (!services_->files.Copy(folder + entry.name, destinationFolder + u"\\" + entry.name, true,
                               &error)) {
      NoteCopyFailure(folder + entry.name, error);
      return false;
    }
  }
  return true;
}

}  // namespace kestrava
