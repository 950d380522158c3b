// An in-memory file system with Windows path rules: drive-letter paths ("\name" is on the
// current drive, C:), "\" or "/" between names, "." and ".." resolved, names compared without
// regard to case, folder links that are followed inside a path but not when the link itself is the
// target. Every operation can be made to fail for a given path, and reads and writes can be cut
// short after a byte count.
//
// Every file and folder has a security descriptor (tests/fakes/fake_file_security.h reads and
// sets it): what the fake makes gets the owner of its token and the entries its parent passes
// on, as Windows gives them; a drive's root starts as a system drive's does.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/file_security.h"
#include "platform/files.h"
#include "tests/fakes/fake_token.h"

namespace kestrava {

class FakeFiles final : public Files {
 public:
  FakeFiles();

  // Scripting. Paths are created with every missing parent folder.
  void AddFolder(const WString& path);
  void AddFile(const WString& path, std::string content, bool readOnly = false);
  void AddFolderLink(const WString& linkPath, const WString& target);
  // A drive; one that does not keep security descriptors stands for a FAT volume.
  void AddDrive(WChar letter, bool keepsSecurity = true);

  // Inspection.
  bool Exists(const WString& path);
  std::optional<std::string> Content(const WString& path);
  // Every path below `folder` (not following links), "\"-separated, relative, sorted.
  std::set<WString> Tree(const WString& folder);

  // Failures: `op` fails for the path (matched after normalisation), `times` times or always.
  enum class Op {
    kOpen,
    kCreate,
    kCreateFolder,
    kRemoveFolder,
    kDelete,
    kSize,
    kCopy,
    kList,
    kFlush,    // of a handle opened on the path
    kReplace,  // the path on either side
  };
  void Fail(Op op, const WString& path, int times = -1);
  // Reads of `path` fail once `bytes` bytes have been read; writes are cut short after `bytes`.
  void FailReadAfter(const WString& path, uint64_t bytes);
  void FailWriteAfter(const WString& path, uint64_t bytes);
  // From now on every write, to whichever file, falls short once `bytes` more bytes have been
  // written: a disk that fills up, or the moment the machine stops.
  void FailEveryWriteAfter(uint64_t bytes);

  // Security. `token` is whom the fake acts as, also for what it makes.
  FakeToken token;
  // The security descriptor of the file or folder itself (a link's own, not its target's);
  // nullptr when the path does not exist.
  ObjectSecurity* SecurityOf(const WString& path);
  // Whether the drive of `path` keeps security descriptors.
  bool KeepsSecurity(const WString& path);

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
  // Windows' rules for MoveFileExW: a missing `from` ERROR_FILE_NOT_FOUND, a folder on either
  // side or a read-only `to` ERROR_ACCESS_DENIED, another volume ERROR_NOT_SAME_DEVICE, a
  // scripted failure ERROR_SHARING_VIOLATION. The moved file keeps its own security.
  bool Replace(const WString& from, const WString& to, uint32_t* error = nullptr) override;

  struct Node {
    WString name;  // as created, for listings
    bool folder = false;
    bool readOnly = false;
    WString linkTarget;  // a folder link when not empty (normalised key)
    std::shared_ptr<std::string> data = std::make_shared<std::string>();
    ObjectSecurity security;
    bool keepsSecurity = true;  // of a drive
  };

 private:
  // Key of a path: upper-cased, "\"-separated, "." and ".." resolved, links inside the path
  // followed; `followLast` also follows a link named by the last component.
  std::optional<WString> Resolve(const WString& path, bool followLast);
  bool Failing(Op op, const WString& key);
  static WString Parent(const WString& key);
  bool ParentIsFolder(const WString& key);
  // A node made at `key` as Windows makes one there, with its parent's inheritance.
  Node NewNode(const WString& key, WString name, bool folder);
  std::unique_ptr<FileHandle> Handle(const WString& key, Node& node, bool forWriting);

  std::map<WString, Node> nodes_;
  std::map<std::pair<Op, WString>, int> failing_;  // remaining failures, -1: always
  std::map<WString, uint64_t> readLimits_;
  std::map<WString, uint64_t> writeLimits_;
  std::shared_ptr<int64_t> writeBudget_ = std::make_shared<int64_t>(-1);  // -1: no limit
};

}  // namespace kestrava
