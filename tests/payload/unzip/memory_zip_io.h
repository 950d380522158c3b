// An archive in memory behind the zlib_filefunc64_def callbacks, behaving like a stdio FILE:
// a read past the end comes back short without error, a seek past the end succeeds, one before
// the start fails. A read reaching into the bytes [fail_from, fail_to) stops short before them
// with an I/O error, which zerror_file then reports (sticky, like ferror). The callbacks take
// plain types, so the same functions serve minizip and unzip_lite.
#pragma once

#include <cstddef>

namespace kestrava::ziptest {

struct MemoryArchive {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  unsigned long long fail_from = ~0ull;
  unsigned long long fail_to = ~0ull;
};

// What the open and close callbacks saw; the callbacks' opaque pointer.
struct IoLog {
  int opens = 0;
  int closes = 0;
  const void* path = nullptr;
  int mode = -1;
};

namespace memory_io {
// `path` is a const MemoryArchive*.
void* Open(void* log, const void* path, int mode);
unsigned long Read(void* log, void* stream, void* buf, unsigned long size);
unsigned long Write(void* log, void* stream, const void* buf, unsigned long size);
unsigned long long Tell(void* log, void* stream);
long Seek(void* log, void* stream, unsigned long long offset, int origin);
int Close(void* log, void* stream);
int Error(void* log, void* stream);
}  // namespace memory_io

// Fills minizip's or unzip_lite's zlib_filefunc64_def with the callbacks above.
template <class FileFuncs>
FileFuncs MemoryFileFuncs(IoLog* log) {
  FileFuncs f{};
  f.zopen64_file = memory_io::Open;
  f.zread_file = memory_io::Read;
  f.zwrite_file = memory_io::Write;
  f.ztell64_file = memory_io::Tell;
  f.zseek64_file = memory_io::Seek;
  f.zclose_file = memory_io::Close;
  f.zerror_file = memory_io::Error;
  f.opaque = log;
  return f;
}

}  // namespace kestrava::ziptest
