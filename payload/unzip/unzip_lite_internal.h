// The state behind an unzip_lite handle and the I/O it reads through; shared by the directory
// (unzip_lite.cpp) and the entry reader (unzip_lite_entry.cpp). Not for other users.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "payload/unzip/unzip_lite.h"

namespace kestrava::unzip_lite::detail {

constexpr unsigned kReadBufferSize = 16384;

struct Io {
  zlib_filefunc64_def f;
  void* stream;

  unsigned long Read(void* buf, unsigned long n) const {
    return f.zread_file(f.opaque, stream, buf, n);
  }
  bool Seek(ZPOS64_T offset, int origin) const {
    return f.zseek64_file(f.opaque, stream, offset, origin) == 0;
  }
  // A relative seek, as minizip does it: skips what was not copied out of a record.
  bool Skip(long long offset) const { return Seek(static_cast<ZPOS64_T>(offset), kSeekCur); }
  ZPOS64_T Tell() const { return f.ztell64_file(f.opaque, stream); }
  bool Failed() const { return f.zerror_file(f.opaque, stream) != 0; }
};

// A record of Size bytes read in one go and taken apart into little-endian numbers the way
// minizip's byte-at-a-time reader sees them: past the end of the stream a number keeps
// repeating its last byte read (or zero) without error, unless zerror_file reports one, and
// then every number from the first short one on reads as zero and the record has failed.
template <unsigned Size>
class Record {
 public:
  explicit Record(const Io& io) {
    got_ = std::min<unsigned long>(io.Read(bytes_, Size), Size);
    failed_ = got_ < Size && io.Failed();
  }
  bool failed() const { return failed_; }

  ZPOS64_T Next(unsigned width) {
    ZPOS64_T value = 0;
    ZPOS64_T last = 0;
    for (unsigned i = 0; i < width; ++i, ++at_) {
      if (at_ < got_) {
        last = bytes_[at_];
      } else if (failed_) {
        at_ += width - i;
        return 0;
      }
      value |= last << (8 * i);
    }
    return value;
  }

 private:
  unsigned char bytes_[Size] = {};
  unsigned long got_ = 0;
  unsigned long at_ = 0;
  bool failed_ = false;
};

struct OpenEntry {
  z_stream stream{};
  bool inflating = false;
  bool raw = false;  // bzip2: the compressed bytes are handed out as they are
  unsigned long method = 0;
  unsigned long crc = 0;
  unsigned long expected_crc = 0;
  ZPOS64_T rest_compressed = 0;
  ZPOS64_T rest_uncompressed = 0;
  ZPOS64_T position = 0;  // of the next compressed byte, relative to the archive
  unsigned char buffer[kReadBufferSize];

  ~OpenEntry() {
    if (inflating) inflateEnd(&stream);
  }
};

struct Archive {
  Io io{};
  unz_global_info64 global{};
  ZPOS64_T bytes_before = 0;  // before the archive, e.g. the program it is appended to
  ZPOS64_T central_pos = 0;   // of the end record found
  ZPOS64_T central_size = 0;
  ZPOS64_T central_offset = 0;
  ZPOS64_T entry_number = 0;
  ZPOS64_T entry_record = 0;  // offset of the current entry's central record
  bool entry_ok = false;
  unz_file_info64 entry{};
  ZPOS64_T entry_local_header = 0;
  std::unique_ptr<OpenEntry> open;
};

inline Archive* ToArchive(unzFile file) {
  return static_cast<Archive*>(file);
}

}  // namespace kestrava::unzip_lite::detail
