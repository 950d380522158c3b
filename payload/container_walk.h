// Walking the payload container appended to the program file.
//
// Layout (32-bit little-endian integers, compared as signed values; texts without terminator):
//   header at payloadOffset: versionLength, versionText
//   entryCount - 1 records:  nameLength, dataSize, platformName, archiveData
//   trailer:                 "EndMarker", entryCount, payloadOffset
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/files.h"

namespace kestrava {

// Result codes of the walk and of the extraction built on it.
inline constexpr int kPayloadOk = 0;
inline constexpr int kPayloadUnreadable = -1;  // no folder, no program file, bad entry count
inline constexpr int kPayloadBroken = -2;      // no trailer, failed reads, a record step failed
inline constexpr int kPayloadBadRecord = -3;   // a malformed record

inline constexpr int32_t kMaxVersionLength = 50;
inline constexpr int32_t kMaxNameLength = 255;
inline constexpr int32_t kMaxEntryCount = 9999;

struct PayloadRecord {
  std::string platformName;  // 8-bit text, up to its first zero byte
  uint32_t dataSize = 0;
};

// The per-record step: `file` stands at the first byte of the record's archive data and the
// step must read exactly `dataSize` bytes of it. Returns false when it fails.
using PayloadRecordStep = std::function<bool(FileHandle& file, const PayloadRecord& record)>;

// Opens the program file at `programPath`, finds the trailer and hands every record with a
// name to `step`. Records whose name starts with a zero byte are skipped. Returns 0, or -1, -2,
// -3 as above. A version text longer than 50 bytes is refused with -2 and a name longer than
// 255 bytes with -3, before anything is read into fixed fields. The file is closed on every
// outcome. `versionText`, when given, receives the container's version text.
int WalkPayloadContainer(Files& files, const WString& programPath, const PayloadRecordStep& step,
                         std::string* versionText = nullptr);

}  // namespace kestrava
