// Files on a Linux host, for the native benchmark and host tools: Windows paths "X:\..." are
// mapped below a root folder as <root>/X/... Unlike Windows, names keep POSIX case rules.
#pragma once

#include <string>

#include "platform/files.h"

namespace kestrava {

class PosixFiles final : public Files {
 public:
  // `root` holds one folder per drive letter ("C", ...); it must exist.
  explicit PosixFiles(std::string root);

  // The host path a Windows path maps to; empty for paths without a drive letter.
  std::string HostPath(const WString& path) const;

  std::unique_ptr<FileHandle> OpenForRead(const WString& path) override;
  std::unique_ptr<FileHandle> Create(const WString& path, CreateMode mode) override;
  std::optional<FileAttributes> Attributes(const WString& path) override;
  bool CreateFolder(const WString& path) override;
  bool RemoveFolder(const WString& path) override;
  bool RemoveFile(const WString& path) override;
  bool SetNormalAttributes(const WString& path) override;
  bool List(const WString& pattern, std::vector<FolderEntry>& out) override;
  // A failure's code is the host's errno.
  bool Copy(const WString& from, const WString& to, bool replace,
            uint32_t* error = nullptr) override;
  // rename(2); a failure's code is the host's errno.
  bool Replace(const WString& from, const WString& to, uint32_t* error = nullptr) override;

  // Opens a host file by its own path (for tools that read a program file).
  static std::unique_ptr<FileHandle> OpenHostFile(const std::string& hostPath);

 private:
  bool CopyContent(const WString& from, const WString& to, bool replace);

  std::string root_;
};

}  // namespace kestrava
