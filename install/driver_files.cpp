// Putting the driver files where the spooler registers them from: the model's own files from
// the platform folder's RES subfolder, and the common files at the top of the platform folder
// that the driver loads. The spooler loads them as SYSTEM, so nothing else goes there.
//
// The destination is the folder the spooler names for the platform. On 64-bit Windows a 32-bit
// program's accesses to the system folder are redirected to SysWOW64, but the spooler's folder
// (system32\spool) is exempt from that redirection, so the files land where the 64-bit spooler
// reads them.
#include <algorithm>

#include "install/install_engine.h"
#include "platform/system_errors.h"

namespace kestrava {

namespace {

constexpr WStringView kPlugInConfiguration = u"Receipt.ini";
constexpr WStringView kPlugInSection = u"[OEMFILES]";
// A plug-in configuration is a few lines; anything bigger is not read.
constexpr uint64_t kPlugInConfigurationLimit = 64 * 1024;

WString WithBackslash(WString folder) {
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

// `text` without the characters of `around` at its ends.
WString Trimmed(WStringView text, WStringView around) {
  const size_t first = text.find_first_not_of(around);
  if (first == WStringView::npos) return WString();
  const size_t last = text.find_last_not_of(around);
  return WString(text.substr(first, last - first + 1));
}

// A file name of the folder itself: nothing that reaches another folder or names several.
bool IsPlainFileName(const WString& name) {
  return !name.empty() && name != u"." && name != u".." &&
         name.find_first_of(u"\\/:*?<>|") == WString::npos;
}

}  // namespace

std::vector<WString> InstallEngine::DriverFileNames(int32_t modelPosition,
                                                    const WString& platformFolder) {
  std::vector<WString> names = {WString(kDriverFile), WString(kConfigFile), WString(kHelpFile)};
  for (const WString& name : DependentFiles(modelPosition)) names.push_back(name);
  std::string content;
  if (!services_ || !ReadWholeFile(services_->files,
                                   WithBackslash(platformFolder) + WString(kPlugInConfiguration),
                                   kPlugInConfigurationLimit, content)) {
    return names;
  }
  // "[OEMFiles]", then "OEMDriverFile1=ReceiptDrv.dll" and the like, up to the next section.
  bool inSection = false;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const WString line = Trimmed(system_.AnsiToWide(content.substr(start, end - start)), u" \t\r");
    start = end + 1;
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[') {
      inSection = UpperAscii(line) == kPlugInSection;
      continue;
    }
    const size_t equals = line.find(u'=');
    if (!inSection || equals == WString::npos) continue;
    const WString name = Trimmed(WStringView(line).substr(equals + 1), u" \t\"");
    if (IsPlainFileName(name)) names.push_back(name);
  }
  return names;
}

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
                                       const WString& sourceFolder, int32_t modelPosition) {
  if (!services_) return false;
  const WString folder = WithBackslash(sourceFolder);
  std::vector<FolderEntry> entries;
  if (!services_->files.List(folder + u"*.*", entries)) {
    NoteCopyFailure(sourceFolder, kErrorPathNotFound);
    return false;
  }
  std::vector<WString> needed;
  for (const WString& name : DriverFileNames(modelPosition, sourceFolder)) {
    // The model's own files come from RES only (CopyModelFiles), never from beside it.
    const WString upper = UpperAscii(name);
    if (upper != UpperAscii(At(resourceDllNames, modelPosition)) &&
        upper != UpperAscii(At(gpdNames, modelPosition))) {
      needed.push_back(upper);
    }
  }
  for (const FolderEntry& entry : entries) {
    // Subfolders ("RES", "Font"), the "." and ".." entries and every file the driver does not
    // load stay behind.
    if (entry.attributes.isFolder || entry.name == u"." || entry.name == u"..") continue;
    if (std::find(needed.begin(), needed.end(), UpperAscii(entry.name)) == needed.end()) continue;
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
