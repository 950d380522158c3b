#pragma once

#include "platform/files.h"

namespace kestrava {

class Win32Files final : public Files {
 public:
  std::unique_ptr<FileHandle> OpenForRead(const WString& path) override;
  std::unique_ptr<FileHandle> Create(const WString& path, CreateMode mode) override;
  std::optional<FileAttributes> Attributes(const WString& path) override;
  bool CreateFolder(const WString& path) override;
  bool RemoveFolder(const WString& path) override;
  bool RemoveFile(const WString& path) override;
  bool SetNormalAttributes(const WString& path) override;
  bool List(const WString& pattern, std::vector<FolderEntry>& out) override;
  bool Copy(const WString& from, const WString& to, bool replace,
            uint32_t* error = nullptr) override;
  bool Replace(const WString& from, const WString& to, uint32_t* error = nullptr) override;
};

}  // namespace kestrava
