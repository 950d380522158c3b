// The archive and its directory: finding the end record, walking the central records.
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
using detail::Record;
using detail::ToArchive;

namespace {

constexpr ZPOS64_T kCentralHeaderSignature = 0x02014b50;
constexpr ZPOS64_T kZip64EndSignature = 0x06064b50;
constexpr unsigned char kEndMagic[4] = {0x50, 0x4b, 0x05, 0x06};
constexpr unsigned char kZip64LocatorMagic[4] = {0x50, 0x4b, 0x06, 0x07};
constexpr unsigned kCentralHeaderSize = 46;
constexpr unsigned kEndRecordSize = 22;
constexpr unsigned kZip64EndRecordSize = 56;
constexpr unsigned kZip64LocatorSize = 20;
constexpr ZPOS64_T kSearchSpan = 0xffff;  // the longest archive comment
constexpr ZPOS64_T kSearchBlock = 1024;

// The last occurrence of `magic` that starts within the last kSearchSpan bytes, read in
// overlapping blocks from the end. Returns 0 when there is none, or when it starts at 0.
ZPOS64_T FindBackwards(const Io& io, const unsigned char (&magic)[4]) {
  if (!io.Seek(0, kSeekEnd)) return 0;
  const ZPOS64_T file_size = io.Tell();
  const ZPOS64_T span = std::min(kSearchSpan, file_size);
  unsigned char block[kSearchBlock + 4];
  for (ZPOS64_T back = 4; back < span;) {
    back = std::min(back + kSearchBlock, span);
    const ZPOS64_T at = file_size - back;
    const auto size = static_cast<unsigned long>(std::min(kSearchBlock + 4, file_size - at));
    if (!io.Seek(at, kSeekSet) || io.Read(block, size) != size) break;
    for (long long i = static_cast<long long>(size) - 4; i >= 0; --i) {
      if (std::memcmp(block + i, magic, 4) == 0) {
        if (at + static_cast<ZPOS64_T>(i) != 0) return at + static_cast<ZPOS64_T>(i);
        break;
      }
    }
  }
  return 0;
}

// The offset of the ZIP64 end record that a ZIP64 locator names, or 0.
ZPOS64_T FindZip64End(const Io& io) {
  const ZPOS64_T locator = FindBackwards(io, kZip64LocatorMagic);
  if (locator == 0 || !io.Seek(locator, kSeekSet)) return 0;
  Record<kZip64LocatorSize> r(io);
  r.Next(4);  // signature, already found
  const ZPOS64_T disk = r.Next(4);
  const ZPOS64_T end = r.Next(8);
  const ZPOS64_T disks = r.Next(4);
  if (r.failed() || disk != 0 || disks != 1 || !io.Seek(end, kSeekSet)) return 0;
  Record<4> signature(io);
  if (signature.Next(4) != kZip64EndSignature || signature.failed()) return 0;
  return end;
}

// Reads the end record (ZIP64 or not) into `a`; false when there is none or it is unusable.
bool ReadEndRecord(Archive& a) {
  ZPOS64_T disk, central_disk, entries;
  a.central_pos = FindZip64End(a.io);
  if (a.central_pos != 0) {
    if (!a.io.Seek(a.central_pos, kSeekSet)) return false;
    Record<kZip64EndRecordSize> r(a.io);
    r.Next(4);  // signature
    r.Next(8);  // size of the record
    r.Next(2);  // version made by
    r.Next(2);  // version needed
    disk = r.Next(4);
    central_disk = r.Next(4);
    a.global.number_entry = r.Next(8);
    entries = r.Next(8);
    a.central_size = r.Next(8);
    a.central_offset = r.Next(8);
    a.global.size_comment = 0;
    if (r.failed()) return false;
  } else {
    a.central_pos = FindBackwards(a.io, kEndMagic);
    if (a.central_pos == 0 || !a.io.Seek(a.central_pos, kSeekSet)) return false;
    Record<kEndRecordSize> r(a.io);
    r.Next(4);  // signature
    disk = r.Next(2);
    central_disk = r.Next(2);
    a.global.number_entry = r.Next(2);
    entries = r.Next(2);
    a.central_size = r.Next(4);
    a.central_offset = r.Next(4);
    a.global.size_comment = static_cast<unsigned long>(r.Next(2));
    if (r.failed()) return false;
  }
  if (entries != a.global.number_entry || central_disk != 0 || disk != 0) return false;
  if (a.central_pos < a.central_offset + a.central_size) return false;
  a.bytes_before = a.central_pos - (a.central_offset + a.central_size);
  return true;
}

tm_unz DosDateToTm(unsigned long dos) {
  const unsigned long date = dos >> 16;
  tm_unz tm;
  tm.tm_mday = static_cast<unsigned>(date & 0x1f);
  tm.tm_mon = static_cast<unsigned>(((date & 0x1e0) / 0x20) - 1);
  tm.tm_year = static_cast<unsigned>(((date & 0xfe00) / 0x200) + 1980);
  tm.tm_hour = static_cast<unsigned>((dos & 0xf800) / 0x800);
  tm.tm_min = static_cast<unsigned>((dos & 0x7e0) / 0x20);
  tm.tm_sec = static_cast<unsigned>(2 * (dos & 0x1f));
  return tm;
}

// Copies min(size, field) bytes of a variable field into `buf`, first skipping what earlier
// fields left unread (`skip`); the text fields get a terminator when the buffer has room.
// Like minizip, it reads even after a failed skip, and reports either failure.
int CopyField(const Io& io, unsigned long field, void* buf, unsigned long size, bool text,
              long long& skip) {
  int err = kOk;
  const unsigned long n = std::min(field, size);
  if (text && field < size) static_cast<char*>(buf)[field] = '\0';
  if (skip != 0) {
    if (io.Skip(skip)) {
      skip = 0;
    } else {
      err = kErrno;
    }
  }
  if (field > 0 && size > 0 && io.Read(buf, n) != n) err = kErrno;
  skip += static_cast<long long>(field - n);
  return err;
}

int ReadEntryRecord(Archive& a, unz_file_info64* out, ZPOS64_T* local_header, char* name,
                    unsigned long name_size, void* extra, unsigned long extra_size, char* comment,
                    unsigned long comment_size) {
  const Io& io = a.io;
  if (!io.Seek(a.entry_record + a.bytes_before, kSeekSet)) return kErrno;
  Record<kCentralHeaderSize> r(io);
  unz_file_info64 info;
  const ZPOS64_T magic = r.Next(4);
  info.version = static_cast<unsigned long>(r.Next(2));
  info.version_needed = static_cast<unsigned long>(r.Next(2));
  info.flag = static_cast<unsigned long>(r.Next(2));
  info.compression_method = static_cast<unsigned long>(r.Next(2));
  info.dosDate = static_cast<unsigned long>(r.Next(4));
  info.tmu_date = DosDateToTm(info.dosDate);
  info.crc = static_cast<unsigned long>(r.Next(4));
  info.compressed_size = r.Next(4);
  info.uncompressed_size = r.Next(4);
  info.size_filename = static_cast<unsigned long>(r.Next(2));
  info.size_file_extra = static_cast<unsigned long>(r.Next(2));
  info.size_file_comment = static_cast<unsigned long>(r.Next(2));
  info.disk_num_start = static_cast<unsigned long>(r.Next(2));
  info.internal_fa = static_cast<unsigned long>(r.Next(2));
  info.external_fa = static_cast<unsigned long>(r.Next(4));
  const ZPOS64_T local = r.Next(4);
  int err = r.failed() ? kErrno : magic != kCentralHeaderSignature ? kBadZipFile : kOk;

  long long skip = info.size_filename;  // bytes between the stream and the next field
  if (err == kOk && name != nullptr) {
    skip = 0;
    err = CopyField(io, info.size_filename, name, name_size, true, skip);
  }
  if (err == kOk && extra != nullptr) {
    err = CopyField(io, info.size_file_extra, extra, extra_size, false, skip);
  } else {
    skip += info.size_file_extra;
  }
  if (err == kOk && info.size_file_extra != 0) {
    // Walk the extra blocks from their start, as minizip does; its ZIP64 block (id 1) reads
    // nothing on 64-bit Linux and is not even skipped, so the walk goes on inside it.
    skip -= info.size_file_extra;
    if (skip != 0) {
      if (io.Skip(skip)) {
        skip = 0;
      } else {
        err = kErrno;
      }
    }
    for (unsigned long walked = 0; walked < info.size_file_extra;) {
      Record<4> block(io);
      const ZPOS64_T id = block.Next(2);
      const ZPOS64_T size = block.Next(2);
      if (block.failed()) err = kErrno;
      if (id != 1 && !io.Seek(size, kSeekCur)) err = kErrno;
      walked += static_cast<unsigned long>(4 + size);
    }
  }
  if (err == kOk && comment != nullptr) {
    err = CopyField(io, info.size_file_comment, comment, comment_size, true, skip);
  }
  if (err == kOk && out != nullptr) *out = info;
  if (err == kOk && local_header != nullptr) *local_header = local;
  return err;
}

int ReadCurrentRecord(Archive& a) {
  const int err =
      ReadEntryRecord(a, &a.entry, &a.entry_local_header, nullptr, 0, nullptr, 0, nullptr, 0);
  a.entry_ok = err == kOk;
  return err;
}

}  // namespace

unzFile unzOpen2_64(const void* path, zlib_filefunc64_def* filefuncs) {
  if (filefuncs == nullptr || filefuncs->zopen64_file == nullptr ||
      filefuncs->zread_file == nullptr || filefuncs->ztell64_file == nullptr ||
      filefuncs->zseek64_file == nullptr || filefuncs->zclose_file == nullptr ||
      filefuncs->zerror_file == nullptr) {
    return nullptr;
  }
  std::unique_ptr<Archive> a(new (std::nothrow) Archive);
  if (!a) return nullptr;
  a->io.f = *filefuncs;
  a->io.stream = a->io.f.zopen64_file(a->io.f.opaque, path, kModeRead | kModeExisting);
  if (a->io.stream == nullptr) return nullptr;
  if (!ReadEndRecord(*a)) {
    a->io.f.zclose_file(a->io.f.opaque, a->io.stream);
    return nullptr;
  }
  unzGoToFirstFile(a.get());
  return a.release();
}

int unzClose(unzFile file) {
  Archive* a = ToArchive(file);
  if (a == nullptr) return kParamError;
  if (a->open) unzCloseCurrentFile(file);
  a->io.f.zclose_file(a->io.f.opaque, a->io.stream);
  delete a;
  return kOk;
}

int unzGetGlobalInfo64(unzFile file, unz_global_info64* info) {
  const Archive* a = ToArchive(file);
  if (a == nullptr || info == nullptr) return kParamError;
  *info = a->global;
  return kOk;
}

int unzGetGlobalComment(unzFile file, char* comment, unsigned long size) {
  const Archive* a = ToArchive(file);
  if (a == nullptr) return kParamError;
  const unsigned long n = std::min(size, a->global.size_comment);
  if (comment == nullptr && n > 0) return kParamError;
  if (!a->io.Seek(a->central_pos + kEndRecordSize, kSeekSet)) return kErrno;
  if (n > 0) {
    comment[0] = '\0';
    if (a->io.Read(comment, n) != n) return kErrno;
  }
  if (comment != nullptr && size > a->global.size_comment) comment[a->global.size_comment] = '\0';
  return static_cast<int>(n);
}

int unzGoToFirstFile(unzFile file) {
  Archive* a = ToArchive(file);
  if (a == nullptr) return kParamError;
  a->entry_record = a->central_offset;
  a->entry_number = 0;
  return ReadCurrentRecord(*a);
}

int unzGoToNextFile(unzFile file) {
  Archive* a = ToArchive(file);
  if (a == nullptr) return kParamError;
  if (!a->entry_ok) return kEndOfListOfFile;
  // A count of 0xffff may have overflowed: then only the records themselves end the list.
  if (a->global.number_entry != 0xffff && a->entry_number + 1 == a->global.number_entry) {
    return kEndOfListOfFile;
  }
  a->entry_record += kCentralHeaderSize + a->entry.size_filename + a->entry.size_file_extra +
                     a->entry.size_file_comment;
  ++a->entry_number;
  return ReadCurrentRecord(*a);
}

int unzGetCurrentFileInfo64(unzFile file, unz_file_info64* info, char* filename,
                            unsigned long filename_size, void* extra, unsigned long extra_size,
                            char* comment, unsigned long comment_size) {
  Archive* a = ToArchive(file);
  if (a == nullptr) return kParamError;
  return ReadEntryRecord(*a, info, nullptr, filename, filename_size, extra, extra_size, comment,
                         comment_size);
}

}  // namespace kestrava::unzip_lite
