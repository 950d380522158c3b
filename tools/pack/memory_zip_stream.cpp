#include "tools/pack/memory_zip_stream.h"

#include <algorithm>
#include <cstring>

namespace kestrava::pack {

namespace {

MemoryZipStream& StreamOf(voidpf opaque) {
  return *static_cast<MemoryZipStream*>(opaque);
}

voidpf Open(voidpf opaque, const void* /*path*/, int mode) {
  MemoryZipStream& stream = StreamOf(opaque);
  if ((mode & ZLIB_FILEFUNC_MODE_CREATE) != 0) stream.bytes.clear();
  stream.position = 0;
  return opaque;
}

uLong Read(voidpf opaque, voidpf /*file*/, void* buffer, uLong size) {
  MemoryZipStream& stream = StreamOf(opaque);
  if (stream.position >= stream.bytes.size()) return 0;
  const uint64_t count = std::min<uint64_t>(size, stream.bytes.size() - stream.position);
  std::memcpy(buffer, stream.bytes.data() + stream.position, static_cast<size_t>(count));
  stream.position += count;
  return static_cast<uLong>(count);
}

uLong Write(voidpf opaque, voidpf /*file*/, const void* data, uLong size) {
  MemoryZipStream& stream = StreamOf(opaque);
  const uint64_t end = stream.position + size;
  if (end > stream.bytes.size()) stream.bytes.resize(static_cast<size_t>(end));
  std::memcpy(stream.bytes.data() + stream.position, data, size);
  stream.position = end;
  return size;
}

ZPOS64_T Tell(voidpf opaque, voidpf /*file*/) {
  return StreamOf(opaque).position;
}

long Seek(voidpf opaque, voidpf /*file*/, ZPOS64_T offset, int origin) {
  MemoryZipStream& stream = StreamOf(opaque);
  uint64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = stream.position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = stream.bytes.size();
  stream.position = base + offset;
  return 0;
}

int Close(voidpf /*opaque*/, voidpf /*file*/) {
  return 0;
}

int Error(voidpf /*opaque*/, voidpf /*file*/) {
  return 0;
}

}  // namespace

zlib_filefunc64_def MemoryZipFunctions(MemoryZipStream& stream) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = Open;
  functions.zread_file = Read;
  functions.zwrite_file = Write;
  functions.ztell64_file = Tell;
  functions.zseek64_file = Seek;
  functions.zclose_file = Close;
  functions.zerror_file = Error;
  functions.opaque = &stream;
  return functions;
}

}  // namespace kestrava::pack
