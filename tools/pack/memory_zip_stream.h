// An archive built in memory: minizip's zip writer writes through these callbacks into a byte
// string instead of a file, so packing needs no temporary files.
#pragma once

#include <minizip/ioapi.h>

#include <cstdint>
#include <string>

namespace kestrava::pack {

// The archive's bytes and the writer's position in them. Behaves like a file open for reading
// and writing: a write past the end extends it (a gap reads as zero bytes), a read at the end
// returns nothing.
struct MemoryZipStream {
  std::string bytes;
  uint64_t position = 0;
};

// Callbacks for zipOpen2_64 over `stream`, which must outlive the zipFile. The path handed to
// zipOpen2_64 is ignored; an open that creates empties the stream.
zlib_filefunc64_def MemoryZipFunctions(MemoryZipStream& stream);

}  // namespace kestrava::pack
