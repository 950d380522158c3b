// A files service that can do one thing: open a file of the build machine for reading, by its
// host path given as wide text. That is all WalkPayloadContainer needs to read a program file
// here; every other operation fails.
#pragma once

#include "platform/files.h"
#include "platform/posix/files_posix.h"

namespace kestrava::pack {

class HostProgramFiles final : public Files {
 public:
  std::unique_ptr<FileHandle> OpenForRead(const WString& path) override {
    return PosixFiles::OpenHostFile(Utf16ToUtf8(path));
  }
  std::unique_ptr<FileHandle> Create(const WString&, CreateMode) override { return nullptr; }
  std::optional<FileAttributes> Attributes(const WString&) override { return std::nullopt; }
  bool CreateFolder(const WString&) override { return false; }
  bool RemoveFolder(const WString&) override { return false; }
  bool RemoveFile(const WString&) override { return false; }
  bool SetNormalAttributes(const WString&) override { return false; }
  bool List(const WString&, std::vector<FolderEntry>&) override { return false; }
  bool Copy(const WString&, const WString&, bool, uint32_t*) override { return false; }
  bool Replace(const WString&, const WString&, uint32_t*) override { return false; }
};

}  // namespace kestrava::pack
