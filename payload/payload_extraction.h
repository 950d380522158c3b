// Unpacking the payload container of the running program file into the working folder, one
// subfolder per platform.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "payload/container_walk.h"
#include "payload/zip_extractor.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/system_info.h"

namespace kestrava {

inline constexpr size_t kPathField = 256;  // every per-record path stays below this many bytes
inline constexpr size_t kCopyPiece = 16384;

class PayloadExtraction {
 public:
  PayloadExtraction(Files& files, SystemInfo& system, Process& process);

  // Empties (all but the support log) and recreates the working folder, then unpacks every
  // named record of the container. Returns 0 on success (also when there is nothing to
  // unpack), -1 when the working folder cannot be made (or the container is unreadable), -2
  // when a record fails, -3 for a malformed record. Records unpacked before a failure stay.
  int ExtractPayload();

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
  ZipExtractor extractor_;
};

// The worker's whole job: extract, store the outcome in `payloadExtracted`, and after a failure
// try once more and store that outcome.
void PayloadWorker(PayloadExtraction& extraction, std::atomic<bool>& payloadExtracted);

}  // namespace kestrava
