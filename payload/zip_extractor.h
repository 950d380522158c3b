// Unpacking one ZIP archive of the payload into a folder, through the unzip API (minizip on
// Linux, our own layer on Windows) and the files service.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace kestrava {

class ZipExtractor {
 public:
  ZipExtractor(Files& files, SystemInfo& system, Process& process);
  ~ZipExtractor();
  ZipExtractor(const ZipExtractor&) = delete;
  ZipExtractor& operator=(const ZipExtractor&) = delete;

  // Unpacks the archive at `archivePath` into `destination` (both 8-bit text in the ANSI code
  // page). Folder entries become folders; file entries are written as new files (an existing
  // file stays as it is). Entries that cannot be opened or read in full, or whose size cannot be
  // allocated or is implausible for its compressed size, are skipped. Returns the number of
  // entries the archive records, or 0 when it cannot be unpacked: a missing path or archive,
  // an unreadable or empty archive, an entry name that would land outside `destination`, or an
  // entry whose CRC-32 does not match (its file is removed again).
  int Extract(const std::string& archivePath, const std::string& destination);

  // Writes one unpacked file at `path` (8-bit), making its folders first, as a new file.
  // Returns the bytes written, or -1 when the path has no backslash, its folders cannot be
  // made or the file cannot be created (for example because it exists).
  int64_t WriteExtractedFile(const std::string& path, const char* bytes, uint64_t size);

  std::string lastError;      // UTF-8: a diagnostic, never shown to the user
  std::string globalComment;  // the archive's global comment, as stored

 private:
  void CloseArchive();

  Files& files_;
  SystemInfo& system_;
  Process& process_;
  void* archive_ = nullptr;
};

// Whether an entry name, with "/" read as "\", stays inside the folder it is unpacked into:
// not absolute, no drive or stream colon, no segment of only dots and spaces that reaches up.
bool IsSafeEntryName(const std::string& name);

}  // namespace kestrava
