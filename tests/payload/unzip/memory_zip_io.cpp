#include "tests/payload/unzip/memory_zip_io.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kestrava::ziptest::memory_io {
namespace {

// ioapi.h's origins and the largest offset a 64-bit fseeko accepts.
constexpr int kSet = 0;
constexpr int kCur = 1;
constexpr int kEnd = 2;
constexpr unsigned long long kLargest = INT64_MAX;

struct Cursor {
  const MemoryArchive* archive;
  unsigned long long position = 0;
  bool error = false;
};

Cursor& At(void* stream) {
  return *static_cast<Cursor*>(stream);
}

}  // namespace

void* Open(void* log, const void* path, int mode) {
  auto& l = *static_cast<IoLog*>(log);
  ++l.opens;
  l.path = path;
  l.mode = mode;
  return new Cursor{static_cast<const MemoryArchive*>(path)};
}

unsigned long Read(void*, void* stream, void* buf, unsigned long size) {
  Cursor& c = At(stream);
  const MemoryArchive& a = *c.archive;
  if (c.position >= a.size) return 0;
  unsigned long long n = std::min<unsigned long long>(size, a.size - c.position);
  if (a.fail_from < c.position + n && c.position < a.fail_to) {
    n = a.fail_from > c.position ? a.fail_from - c.position : 0;
    c.error = true;
  }
  std::memcpy(buf, a.data + c.position, static_cast<std::size_t>(n));
  c.position += n;
  return static_cast<unsigned long>(n);
}

unsigned long Write(void*, void*, const void*, unsigned long) {
  return 0;
}

unsigned long long Tell(void*, void* stream) {
  return At(stream).position;
}

long Seek(void*, void* stream, unsigned long long offset, int origin) {
  Cursor& c = At(stream);
  unsigned long long base;
  switch (origin) {
    case kSet:
      base = 0;
      break;
    case kCur:
      base = c.position;
      break;
    case kEnd:
      base = c.archive->size;
      break;
    default:
      return -1;
  }
  const unsigned long long target = base + offset;  // a negative offset wraps back
  if (target > kLargest) return -1;
  c.position = target;
  return 0;
}

int Close(void* log, void* stream) {
  ++static_cast<IoLog*>(log)->closes;
  delete &At(stream);
  return 0;
}

int Error(void*, void* stream) {
  return At(stream).error ? 1 : 0;
}

}  // namespace kestrava::ziptest::memory_io
