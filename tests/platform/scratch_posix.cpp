// Scratch roots for the Linux host implementation: a temporary folder standing for the drives.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/files_posix.h"
#include "tests/platform/scratch.h"

namespace kestrava {

std::unique_ptr<FilesUnderTest> MakePosixFiles() {
  char root[] = "/tmp/kestrava-contract-XXXXXX";
  if (!mkdtemp(root)) return nullptr;
  const std::string host = root;
  std::filesystem::create_directories(host + "/C/scratch");

  auto subject = std::make_unique<FilesUnderTest>();
  auto files = std::make_unique<PosixFiles>(host);
  PosixFiles* raw = files.get();
  subject->files = std::move(files);
  subject->base = u"C:\\scratch\\";
  subject->foldsCase = false;
  subject->makeReadOnly = [raw](const WString& path) {
    return chmod(raw->HostPath(path).c_str(), 0444) == 0;
  };
  subject->makeFolderLink = [raw](const WString& link, const WString& target) {
    return symlink(raw->HostPath(target).c_str(), raw->HostPath(link).c_str()) == 0;
  };
  subject->cleanup = [host] {
    std::error_code ignored;
    std::filesystem::remove_all(host, ignored);
  };
  return subject;
}

}  // namespace kestrava
