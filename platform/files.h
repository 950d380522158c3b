// Files and folders as the program uses them: the program file it reads its payload from, the
// working folder it unpacks into, and the driver files it copies. Paths are wide Windows paths
// ("C:\\..."); the fakes keep the same rules (case-insensitive names, backslashes).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace kestrava {

enum class SeekOrigin { kBegin, kCurrent, kEnd };

// An open file. Closed when destroyed.
class FileHandle {
 public:
  virtual ~FileHandle() = default;

  // Reads up to `size` bytes at the current position. Returns the count read (0 at the end of
  // the file), or -1 when the read fails.
  virtual int64_t Read(void* buffer, size_t size) = 0;

  // Writes `size` bytes at the current position. Returns the count written, which is short or
  // -1 when the write fails.
  virtual int64_t Write(const void* data, size_t size) = 0;

  // Moves the position; false when the system refuses (a position before the start).
  virtual bool Seek(int64_t offset, SeekOrigin origin) = 0;

  // The current position, or -1.
  virtual int64_t Tell() = 0;

  // The size from the file's attributes, or nothing when they cannot be read.
  virtual std::optional<uint64_t> Size() = 0;

  // Returns once everything written through the handle is on the disk (FlushFileBuffers);
  // false when the system could not put it there.
  virtual bool Flush() = 0;
};

// Reads exactly `size` bytes at the current position; false on an error or when the file ends
// first.
bool ReadExactly(FileHandle& file, void* buffer, size_t size);

enum class CreateMode {
  kTruncate,  // create the file, or empty it when it exists
  kNew,       // create the file; fail and leave it unchanged when it exists
  kAppend,    // create the file, or keep it when it exists; every write goes to its end
};

struct FileAttributes {
  bool isFolder = false;
  bool isLink = false;  // a symbolic link or junction (a reparse point), never followed
  bool readOnly = false;
};

struct FolderEntry {
  WString name;
  FileAttributes attributes;
};

class Files {
 public:
  virtual ~Files() = default;

  // Opens an existing file for reading, sharing it for reading. Nothing when it cannot.
  virtual std::unique_ptr<FileHandle> OpenForRead(const WString& path) = 0;

  // Creates a file for writing, sharing it for reading (and for appending, in append mode),
  // with normal attributes.
  virtual std::unique_ptr<FileHandle> Create(const WString& path, CreateMode mode) = 0;

  // Attributes of a file or folder (of a link itself, not its target); nothing when the path
  // does not exist. "C:\\" answers for the drive.
  virtual std::optional<FileAttributes> Attributes(const WString& path) = 0;

  // Creates one folder; false when it exists already or its parent does not.
  virtual bool CreateFolder(const WString& path) = 0;

  // Removes an empty folder, or a link to a folder (the link, never what it points to).
  virtual bool RemoveFolder(const WString& path) = 0;

  // Deletes a file (or a link to a file). Read-only files refuse.
  virtual bool RemoveFile(const WString& path) = 0;

  // Gives a file normal attributes, clearing read-only.
  virtual bool SetNormalAttributes(const WString& path) = 0;

  // Lists the entries that match `pattern` ("folder\\*.*"), "." and ".." included as Windows
  // lists them. False when the listing cannot start (a missing folder).
  virtual bool List(const WString& pattern, std::vector<FolderEntry>& out) = 0;

  // Copies a file; with `replace` false an existing destination makes it fail. `error` (when
  // given) is the system's code of a failure, 0 on success.
  virtual bool Copy(const WString& from, const WString& to, bool replace,
                    uint32_t* error = nullptr) = 0;

  // Puts the file `from` in the place of the file `to` on the same volume, replacing it, and
  // returns once the move is on the disk (MoveFileExW with MOVEFILE_REPLACE_EXISTING and
  // MOVEFILE_WRITE_THROUGH): afterwards `to` is either the old file or the new one, whole,
  // even when the machine stops meanwhile. A read-only `to`, a folder on either side or a
  // missing `from` refuse. A link at `to` is replaced itself, never what it points to.
  virtual bool Replace(const WString& from, const WString& to, uint32_t* error = nullptr) = 0;
};

// Reads the whole file at `path` into `out`. False, with `out` left as it was, when the file
// cannot be opened, a read fails or it holds more than `limit` bytes.
bool ReadWholeFile(Files& files, const WString& path, uint64_t limit, std::string& out);

// Writes `content` into a new file at `temporary`, puts it on the disk and then puts it in the
// place of `path` (Files::Replace). When anything fails on the way, `path` is left as it was and
// `temporary` is removed. The two must be on one volume; the same folder is best, where the new
// file also gets the rights the folder gives the old one.
bool ReplaceFileContent(Files& files, const WString& path, const WString& temporary,
                        std::string_view content);

}  // namespace kestrava
