// Reading the current entry: the local header check, stored and deflated data, the CRC.
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "payload/unzip/unzip_lite.h"
#include "payload/unzip/unzip_lite_internal.h"

namespace kestrava::unzip_lite {
using detail::Archive;
using detail::Io;
using detail::kReadBufferSize;
using detail::OpenEntry;
using detail::Record;
using detail::ToArchive;

namespace {

constexpr ZPOS64_T kLocalHeaderSignature = 0x04034b50;
constexpr unsigned kLocalHeaderSize = 30;
constexpr unsigned long kMethodStored = 0;
constexpr unsigned long kMethodDeflated = 8;
constexpr unsigned long kMethodBzip2 = 12;
constexpr unsigned long kFlagDataDescriptor = 8;
constexpr ZPOS64_T kNoSize = 0xffffffff;

// Checks the local header against the central record; when they agree, sets `variable_size`
// to the bytes of name and extra field between the header and the data.
bool CheckLocalHeader(const Archive& a, ZPOS64_T& variable_size) {
  const Io& io = a.io;
  const unz_file_info64& c = a.entry;
  if (!io.Seek(a.entry_local_header + a.bytes_before, kSeekSet)) return false;
  Record<kLocalHeaderSize> r(io);
  const ZPOS64_T magic = r.Next(4);
  r.Next(2);  // version needed
  const ZPOS64_T flags = r.Next(2);
  const ZPOS64_T method = r.Next(2);
  r.Next(4);  // date and time
  const ZPOS64_T crc = r.Next(4);
  const ZPOS64_T compressed = r.Next(4);
  const ZPOS64_T uncompressed = r.Next(4);
  const ZPOS64_T name_size = r.Next(2);
  const ZPOS64_T extra_size = r.Next(2);
  if (r.failed() || magic != kLocalHeaderSignature || method != c.compression_method) {
    return false;
  }
  if (method != kMethodStored && method != kMethodDeflated && method != kMethodBzip2) {
    return false;
  }
  const bool described_later = (flags & kFlagDataDescriptor) != 0;
  if (!described_later && crc != c.crc) return false;
  if (!described_later && compressed != kNoSize && compressed != c.compressed_size) return false;
  if (!described_later && uncompressed != kNoSize && uncompressed != c.uncompressed_size) {
    return false;
  }
  if (name_size != c.size_filename) return false;
  variable_size = name_size + extra_size;
  return true;
}

}  // namespace

int unzOpenCurrentFile(unzFile file) {
  Archive* a = ToArchive(file);
  if (a == nullptr || !a->entry_ok) return kParamError;
  if (a->open) unzCloseCurrentFile(file);
  ZPOS64_T variable_size = 0;
  if (!CheckLocalHeader(*a, variable_size)) return kBadZipFile;

  std::unique_ptr<OpenEntry> e(new (std::nothrow) OpenEntry);
  if (!e) return kInternalError;
  e->method = a->entry.compression_method;
  e->raw = e->method == kMethodBzip2;
  if (e->method == kMethodDeflated) {
    const int err = inflateInit2(&e->stream, -MAX_WBITS);
    if (err != Z_OK) return err;
    e->inflating = true;
  }
  e->expected_crc = a->entry.crc;
  e->rest_compressed = a->entry.compressed_size;
  e->rest_uncompressed = a->entry.uncompressed_size;
  e->position = a->entry_local_header + kLocalHeaderSize + variable_size;
  a->open = std::move(e);
  return kOk;
}

int unzReadCurrentFile(unzFile file, void* buf, unsigned len) {
  Archive* a = ToArchive(file);
  if (a == nullptr || !a->open) return kParamError;
  OpenEntry& e = *a->open;
  if (len == 0) return 0;
  if (buf == nullptr) return kParamError;

  z_stream& s = e.stream;
  s.next_out = static_cast<Bytef*>(buf);
  s.avail_out = len;
  if (!e.raw && len > e.rest_uncompressed) s.avail_out = static_cast<uInt>(e.rest_uncompressed);
  if (e.raw && len > e.rest_compressed + s.avail_in) {
    s.avail_out = static_cast<uInt>(e.rest_compressed) + s.avail_in;
  }
  unsigned read = 0;
  int err = Z_OK;
  while (s.avail_out > 0) {
    if (s.avail_in == 0 && e.rest_compressed > 0) {
      const auto n = static_cast<uInt>(std::min<ZPOS64_T>(kReadBufferSize, e.rest_compressed));
      if (!a->io.Seek(e.position + a->bytes_before, kSeekSet)) return kErrno;
      if (a->io.Read(e.buffer, n) != n) return kErrno;
      e.position += n;
      e.rest_compressed -= n;
      s.next_in = e.buffer;
      s.avail_in = n;
    }
    Bytef* const before = s.next_out;
    if (e.method == kMethodStored || e.raw) {
      if (s.avail_in == 0 && e.rest_compressed == 0) return static_cast<int>(read);
      const uInt n = std::min(s.avail_out, s.avail_in);
      std::memcpy(s.next_out, s.next_in, n);
      s.next_in += n;
      s.avail_in -= n;
      s.next_out += n;
      s.avail_out -= n;
    } else {
      err = inflate(&s, Z_SYNC_FLUSH);
      if (err >= 0 && s.msg != nullptr) err = Z_DATA_ERROR;
    }
    const auto produced = static_cast<uInt>(s.next_out - before);
    e.crc = crc32(e.crc, before, produced);
    e.rest_uncompressed -= produced;
    read += produced;
    if (err == Z_STREAM_END) return static_cast<int>(read);
    if (err != Z_OK) return err;
  }
  return static_cast<int>(read);
}

int unzCloseCurrentFile(unzFile file) {
  Archive* a = ToArchive(file);
  if (a == nullptr || !a->open) return kParamError;
  const OpenEntry& e = *a->open;
  const bool crc_bad = !e.raw && e.rest_uncompressed == 0 && e.crc != e.expected_crc;
  a->open.reset();
  return crc_bad ? kCrcError : kOk;
}

}  // namespace kestrava::unzip_lite
