#include "payload/container_walk.h"

#include <array>

#include "payload/payload_trailer.h"

namespace kestrava {

namespace {

bool ReadInt32(FileHandle& file, int32_t& value) {
  unsigned char bytes[4];
  if (!ReadExactly(file, bytes, sizeof bytes)) return false;
  value = static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
      (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
  return true;
}

}  // namespace

int WalkPayloadContainer(Files& files, const WString& programPath, const PayloadRecordStep& step,
                         std::string* versionText) {
  std::unique_ptr<FileHandle> file = files.OpenForRead(programPath);
  if (!file) return kPayloadUnreadable;
  const std::optional<uint64_t> size = file->Size();
  if (!size) return kPayloadUnreadable;

  const int64_t trailer = FindPayloadTrailer(*file, static_cast<uint32_t>(*size));
  if (trailer < 1) return kPayloadBroken;

  int32_t entryCount = 0;
  if (!file->Seek(trailer, SeekOrigin::kBegin) || !ReadInt32(*file, entryCount)) {
    return kPayloadBroken;
  }
  if (static_cast<uint32_t>(entryCount) - 1u > static_cast<uint32_t>(kMaxEntryCount - 1)) {
    return kPayloadUnreadable;
  }

  int32_t payloadOffset = 0;
  int32_t versionLength = 0;
  std::array<char, kMaxVersionLength> version{};
  if (!ReadInt32(*file, payloadOffset) || !file->Seek(payloadOffset, SeekOrigin::kBegin) ||
      !ReadInt32(*file, versionLength) || versionLength < 0 || versionLength > kMaxVersionLength ||
      !ReadExactly(*file, version.data(), static_cast<size_t>(versionLength))) {
    return kPayloadBroken;
  }
  if (versionText) versionText->assign(version.data(), static_cast<size_t>(versionLength));
  if (entryCount == 1) return kPayloadOk;

  for (int32_t entry = 1; entry < entryCount; ++entry) {
    std::array<char, kMaxNameLength + 1> name{};
    int32_t nameLength = 0;
    int32_t dataSize = 0;
    if (!ReadInt32(*file, nameLength)) return kPayloadUnreadable;
    if (!ReadInt32(*file, dataSize)) return kPayloadBroken;
    if (nameLength < 1 || nameLength >= dataSize || nameLength > kMaxNameLength ||
        !ReadExactly(*file, name.data(), static_cast<size_t>(nameLength))) {
      return kPayloadBadRecord;
    }
    const int64_t afterName = file->Tell();
    if (afterName < 0) return kPayloadBroken;
    const int64_t nextRecord = afterName + dataSize;

    if (name[0] != '\0') {
      const PayloadRecord record{std::string(name.data()), static_cast<uint32_t>(dataSize)};
      if (!step(*file, record)) return kPayloadBroken;
    }
    if (!file->Seek(nextRecord, SeekOrigin::kBegin)) return kPayloadBroken;
  }
  return kPayloadOk;
}

}  // namespace kestrava
