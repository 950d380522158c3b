// Unpacking the payload container of the running program file into the working folder, one
// subfolder per platform.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "payload/container_walk.h"
#include "payload/trusted_folder.h"
#include "payload/zip_extractor.h"
#include "platform/file_security.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace kestrava {

inline constexpr size_t kPathField = 256;  // every per-record path stays below this many bytes
inline constexpr size_t kCopyPiece = 16384;

class PayloadExtraction {
 public:
  // Unpacks into `workingFolder` (payload/working_folder.h, with its trailing backslash).
  PayloadExtraction(Files& files, SystemInfo& system, Process& process, FileSecurity& security,
                    WString workingFolder);

  // Makes the working folder one that only the administrators and the system may change
  // (payload/trusted_folder.h), empties it (of all but the support log, when that is the
  // program's own) and unpacks every named record of the container into it. Returns 0 on
  // success (also when there is nothing to unpack), -1 when the working folder cannot be made
  // or secured, is a link, still holds something after the emptying, has no 8-bit name, or
  // the container is unreadable, -2 when a record fails, -3 for a malformed record. Records
  // unpacked before a failure stay.
  int ExtractPayload();

  // How the working folder stood at the last ExtractPayload.
  const SecuredFolder& securedFolder() const { return secured_; }

  // The step for one record: the archive is copied out next to its platform folder, unpacked
  // and deleted. A platform name that is not a plain folder name, or paths that do not fit the
  // 256-byte fields, fail the step.
  bool ExtractRecord(FileHandle& program, const PayloadRecord& record);

  // Copies `size` bytes from the current position of `program` into a new or emptied file at
  // `path`, in pieces of at most 16384 bytes. Returns 1, or -1 when the file cannot be created
  // or a read or write fails or falls short. The output file is closed on every outcome.
  int SaveRecordData(FileHandle& program, uint32_t size, const std::string& path);

 private:
  Files& files_;
  SystemInfo& system_;
  Process& process_;
  FileSecurity& security_;
  WString workingFolder_;
  std::string workingFolderAnsi_;
  SecuredFolder secured_;
  ZipExtractor extractor_;
};

// The worker's whole job: extract, store the outcome in `payloadExtracted`, and after a failure
// try once more and store that outcome.
void PayloadWorker(PayloadExtraction& extraction, std::atomic<bool>& payloadExtracted);

}  // namespace kestrava
