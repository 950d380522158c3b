#include "payload/payload_trailer.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kestrava {

namespace {

bool SameIgnoringCase(const char* bytes) {
  for (int k = 0; k < kTrailerTagLength; ++k) {
    const int a = std::tolower(static_cast<unsigned char>(bytes[k]));
    const int b = std::tolower(static_cast<unsigned char>(kTrailerTag[k]));
    if (a != b) return false;
  }
  return true;
}

}  // namespace

int64_t FindPayloadTrailer(FileHandle& file, uint32_t fileSize) {
  std::array<char, kTrailerSearchChunk> buffer;
  int64_t remaining = fileSize;
  int64_t consumed = 0;
  while (remaining > 0) {
    const int64_t chunk = std::min<int64_t>(remaining, kTrailerSearchChunk);
    consumed += chunk;
    const int64_t chunkStart = static_cast<int64_t>(fileSize) - consumed;
    if (!file.Seek(-consumed, SeekOrigin::kEnd)) return -1;
    if (!ReadExactly(file, buffer.data(), static_cast<size_t>(chunk))) return -1;

    for (int64_t i = 0; i < chunk; ++i) {
      if (buffer[static_cast<size_t>(i)] != kTrailerTag[0]) continue;
      int64_t matched = 0;
      while (matched < kTrailerTagLength && i + matched < chunk &&
             buffer[static_cast<size_t>(i + matched)] == kTrailerTag[matched]) {
        ++matched;
      }
      const int64_t result = chunkStart + i + kTrailerTagLength;
      if (matched == kTrailerTagLength) return result > fileSize ? -1 : result;
      if (i + matched < chunk) continue;  // a mismatch inside the chunk

      // The match ran into the end of the chunk: read the candidate whole from the file.
      char candidate[kTrailerTagLength] = {};
      if (!file.Seek(chunkStart + i, SeekOrigin::kBegin)) return -1;
      // A tag cut off by the end of the file fails the search.
      if (!ReadExactly(file, candidate, kTrailerTagLength)) return -1;
      if (SameIgnoringCase(candidate)) return result > fileSize ? -1 : result;
    }
    remaining -= chunk;
  }
  return -1;
}

}  // namespace kestrava
