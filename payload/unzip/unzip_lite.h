// Our own reader of ZIP archives: the part of minizip's unzip API that the payload extractor
// calls, with minizip's names, structures, semantics and result codes, over zlib's raw inflate.
//
// Why our own: the Linux builds read the payload with minizip (libminizip-dev), but no minizip
// package exists for the MinGW-w64 toolchains the Windows builds use, while zlib does
// (libz-mingw-w64-dev). So the Windows builds use this layer, the Linux builds use minizip, and
// code reaches either through payload/unzip/unzip_api.h. A differential test over the archives
// in tests/payload/corpus and a differential fuzz target hold the two to the same answers.
//
// "The same" means minizip 1.1 as Debian builds it for x86-64 Linux, quirks included:
// - The end-of-central-directory record is searched in the last 64 KiB; a record at offset 0
//   (an archive with no entries and nothing before it) is not found and the open fails. Bytes
//   before the archive (a program file it is appended to) are allowed: offsets are taken
//   relative to where the central directory turns out to be.
// - A number cut short by the end of the stream is not an error unless zerror_file reports
//   one: its missing bytes repeat its last byte read, and numbers after it read as zero.
// - A ZIP64 end record is honoured (64-bit entry count, directory size and offset); an entry's
//   ZIP64 extra field is not, as on 64-bit Linux, where minizip's test for 0xFFFFFFFF sizes
//   never fires. Its data is not even stepped over, so an entry comment after such a block is
//   read from the wrong place (the extractor asks for none).
// - unzOpenCurrentFile checks the local header against the central one (method; CRC and
//   sizes unless bit 3 announces a data descriptor, which is never read) and fails with
//   kBadZipFile whatever went wrong. Methods other than stored (0), deflated (8) and bzip2 (12)
//   fail there; bzip2 entries open raw: their compressed bytes are returned unchecked.
// - The encryption bit is ignored: an encrypted entry is read as if it were not, so it fails
//   in inflate or with kCrcError on close.
// - unzReadCurrentFile returns the count of bytes read, 0 at the end of the entry, or a
//   negative code: kErrno for I/O, zlib's code for inflate (Z_BUF_ERROR when the compressed
//   bytes run out before the uncompressed size is reached). Bytes produced by a call that
//   fails are not counted.
// - unzCloseCurrentFile returns kCrcError when the whole uncompressed size was read and the
//   CRC-32 of the bytes differs from the central header's.
//
// Knowingly different, where minizip would crash or use the C library's files: null file
// functions (or a null callback in them) make unzOpen2_64 return null; a null info pointer for
// unzGetGlobalInfo64, a null comment buffer with room for a comment, and a null read buffer
// with a non-zero length return kParamError.
//
// Not thread-safe per handle; separate handles are independent.
#pragma once

namespace kestrava::unzip_lite {

// Result codes, with minizip's values. minizip's own names are macros, so they are not used
// as identifiers here.
inline constexpr int kOk = 0;
inline constexpr int kEndOfListOfFile = -100;
inline constexpr int kErrno = -1;  // Z_ERRNO
inline constexpr int kEof = 0;
inline constexpr int kParamError = -102;
inline constexpr int kBadZipFile = -103;
inline constexpr int kInternalError = -104;
inline constexpr int kCrcError = -105;

// Arguments of the I/O callbacks, with ioapi.h's values.
inline constexpr int kSeekSet = 0;
inline constexpr int kSeekCur = 1;
inline constexpr int kSeekEnd = 2;
inline constexpr int kModeRead = 1;
inline constexpr int kModeExisting = 4;

using ZPOS64_T = unsigned long long;
using unzFile = void*;

// The caller's I/O, with ioapi.h's signatures, so that one set of functions serves both
// libraries. The open callback receives the path pointer given to unzOpen2_64 unchanged and
// kModeRead | kModeExisting; seek returns 0 on success (a kSeekCur offset is a negative one
// cast to ZPOS64_T); zerror_file is asked after a short read whether it was an error.
using open64_file_func = void* (*)(void* opaque, const void* filename, int mode);
using read_file_func = unsigned long (*)(void* opaque, void* stream, void* buf, unsigned long size);
using write_file_func = unsigned long (*)(void* opaque, void* stream, const void* buf,
                                          unsigned long size);
using tell64_file_func = ZPOS64_T (*)(void* opaque, void* stream);
using seek64_file_func = long (*)(void* opaque, void* stream, ZPOS64_T offset, int origin);
using close_file_func = int (*)(void* opaque, void* stream);
using testerror_file_func = int (*)(void* opaque, void* stream);

struct zlib_filefunc64_def {
  open64_file_func zopen64_file;
  read_file_func zread_file;
  write_file_func zwrite_file;  // never called
  tell64_file_func ztell64_file;
  seek64_file_func zseek64_file;
  close_file_func zclose_file;
  testerror_file_func zerror_file;
  void* opaque;
};

struct unz_global_info64 {
  ZPOS64_T number_entry;       // entries in the central directory
  unsigned long size_comment;  // bytes of the archive comment (0 with a ZIP64 end record)
};

struct tm_unz {
  unsigned int tm_sec;   // 0..59 (DOS time: even seconds)
  unsigned int tm_min;   // 0..59
  unsigned int tm_hour;  // 0..23
  unsigned int tm_mday;  // 1..31
  unsigned int tm_mon;   // 0..11
  unsigned int tm_year;  // 1980..2107
};

// The central directory's record of an entry.
struct unz_file_info64 {
  unsigned long version;             // version made by
  unsigned long version_needed;      // version needed to extract
  unsigned long flag;                // general purpose bits
  unsigned long compression_method;  // 0 stored, 8 deflated
  unsigned long dosDate;             // DOS date << 16 | DOS time
  unsigned long crc;                 // CRC-32 of the uncompressed bytes
  ZPOS64_T compressed_size;
  ZPOS64_T uncompressed_size;
  unsigned long size_filename;
  unsigned long size_file_extra;
  unsigned long size_file_comment;
  unsigned long disk_num_start;
  unsigned long internal_fa;
  unsigned long external_fa;
  tm_unz tmu_date;  // dosDate, taken apart
};

// Opens the archive that `path` names to the open callback. Returns null when the file does
// not open or holds no readable end record; otherwise the first entry is current (if there is
// one). The handle owns the stream: unzClose closes it.
unzFile unzOpen2_64(const void* path, zlib_filefunc64_def* filefuncs);
// Closes the open entry, if any (without reporting its CRC), then the archive.
int unzClose(unzFile file);

int unzGetGlobalInfo64(unzFile file, unz_global_info64* info);
// Copies min(size, size_comment) bytes of the archive comment and returns that count, or a
// negative code. The comment is zero-terminated only when `size` exceeds it.
int unzGetGlobalComment(unzFile file, char* comment, unsigned long size);

// Makes the first entry current: kOk, or kBadZipFile/kErrno when its record is unreadable
// (also for an archive with no entries, whose first record is the end record).
int unzGoToFirstFile(unzFile file);
// kEndOfListOfFile after the last entry (or after a failed step); otherwise as above.
int unzGoToNextFile(unzFile file);

// Reads the current entry's central record again. Each non-null buffer receives min(its size,
// the field's size) bytes; the name and comment are zero-terminated only when their buffer is
// larger than them. Nothing is stored in `info` unless the result is kOk.
int unzGetCurrentFileInfo64(unzFile file, unz_file_info64* info, char* filename,
                            unsigned long filename_size, void* extra, unsigned long extra_size,
                            char* comment, unsigned long comment_size);

// Opens the current entry for reading (closing one left open): kOk, kParamError with no
// current entry, kBadZipFile when the local header disagrees, or a zlib code.
int unzOpenCurrentFile(unzFile file);
// Reads up to `len` uncompressed bytes; see above for the result.
int unzReadCurrentFile(unzFile file, void* buf, unsigned len);
int unzCloseCurrentFile(unzFile file);

}  // namespace kestrava::unzip_lite
