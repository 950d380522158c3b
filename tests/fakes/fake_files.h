// An in-memory file system with Windows path rules: drive-letter paths ("\name" is on the
// current drive, C:), "\" or "/" between names, "." and ".." resolved, names compared without
// regard to case, folder links that are followed inside a path but not when the link itself is the
// target. Every operation can be made to fail for a given path, and reads and writes can be cut
// short after a byte count.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/files.h"

namespace kestrava {

class FakeFiles final : public Files {
 public:
  FakeFiles();

  // Scripting. Paths are created with every missing parent folder.
  void AddFolder(const WString& path);
  void AddFile(const WString& path, std::string content, bool readOnly = false);
  void AddFolderLink(const WString& linkPath, const WString& target);
  void AddDrive(WChar letter);

  // Inspection.
  bool Exists(const WString& path);
  std::optional<std::string> Content(const WString& path);
  // Every path below `folder` (not following links), "\"-separated, relative, sorted.
  std::set<WString> Tree(const WString& folder);

  // Failures: `op` fails for the path (matched after normalisation), `times` times or always.
  enum class Op { kOpen, kCreate, kCreateFolder, kRemoveFolder, kDelete, kSize, kCopy, kList };
  void Fail(Op op, const WString& path, int times = -1);
  // Reads of `path` fail once `bytes` bytes have been read; writes are cut short after `bytes`.
  void FailReadAfter(const WString& path, uint64_t bytes);
  void FailWriteAfter(const WString& path, uint64_t bytes);

  std::unique_ptr<FileHandle> OpenForRead(const WString& path) override;
  std::unique_ptr<FileHandle> Create(const WString& path, CreateMode mode) override;
  std::optional<FileAttributes> Attributes(const WString& path) override;
  bool CreateFolder(const WString& path) override;
  bool RemoveFolder(const WString& path) override;
  bool RemoveFile(const WString& path) override;
  bool SetNormalAttributes(const WString& path) override;
  bool List(const WString& pattern, std::vector<FolderEntry>& out) override;
  // A scripted failure answers ERROR_SHARING_VIOLATION, a missing source ERROR_FILE_NOT_FOUND.
  bool Copy(const WString& from, const WString& to, bool replace,
            uint32_t* error = nullptr) override;

  struct Node {
    WString name;  // as created, for listings
    bool folder = false;
    bool readOnly = false;
    WString linkTarget;  // a folder link when not empty (normalised key)
    std::shared_ptr<std::string> data = std::make_shared<std::string>();
    std::shared_ptr<int64_t> readLimit;
    std::shared_ptr<int64_t> writeLimit;
  };

 private:
  // Key of a path: upper-cased, "\"-separated, "." and ".." resolved, links inside the path
  // followed; `followLast` also follows a link named by the last component.
  std::optional<WString> Resolve(const WString& path, bool followLast);
  bool Failing(Op op, const WString& key);
  static WString Parent(const WString& key);
  bool ParentIsFolder(const WString& key);

  std::map<WString, Node> nodes_;
  std::map<std::pair<Op, WString>, int> failing_;  // remaining failures, -1: always
  std::map<WString, uint64_t> readLimits_;
  std::map<WString, uint64_t> writeLimits_;
};

}  // namespace kestrava
