// Finding the payload container from the end of the program file.
//
// The container ends with a trailer: the tag "EndMarker", the entry count and the offset of the
// container header. Whatever follows the trailer (filler, a signature block) is ignored.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace kestrava {

inline constexpr char kTrailerTag[] = "EndMarker";
inline constexpr int kTrailerTagLength = 9;
inline constexpr int kTrailerSearchChunk = 16384;

// Searches `file` backwards in 16384-byte chunks, each chunk forwards, for the tag. Returns the
// absolute offset of the first byte after the tag (where the entry count lies), or -1 when no
// tag is found, the file cannot be read, or the tag would end beyond `fileSize`. Between
// chunks the tag nearest the end wins; within a chunk the lowest offset wins. A tag cut by a
// chunk boundary is compared again from the file, without regard to letter case; when the file
// ends before that tag would, the search fails.
int64_t FindPayloadTrailer(FileHandle& file, uint32_t fileSize);

}  // namespace kestrava
