// Walks an archive the way the extractor does, through one unzip backend, and writes down
// every result code, every field and every byte (hashed) it saw: the transcript two backends
// must agree on. Besides the extractor's path (global info, comment, first/next, entry info
// and name, open, read all in one call, close) it tries what the extractor could meet: small
// and absent buffers, reads in small chunks, closing after a partial read, and what the handle
// answers after the walk has ended or failed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "payload/unzip/unzip_lite.h"
#include "tests/payload/unzip/memory_zip_io.h"

namespace kestrava::ziptest {

struct WalkLimits {
  unsigned long long max_entries = 1u << 20;
  unsigned max_bytes = 64u << 20;  // per read pass of an entry
  unsigned chunk = 7;              // the reads of the second pass
};

using Transcript = std::vector<std::string>;

// Parts of a transcript line.
std::string Text(const char* bytes, std::size_t size);  // escaped, long runs counted
std::string Hash(const std::vector<unsigned char>& bytes);
// The 1-based line where two transcripts part, with both lines, or "" when they agree.
std::string FirstDifference(const Transcript& expected, const Transcript& actual);

inline std::string Piece(const std::string& s) {
  return s;
}
inline std::string Piece(const char* s) {
  return s;
}
template <class Number>
std::string Piece(Number n) {
  return std::to_string(n);
}
// A line: the arguments, written one after another.
template <class... Parts>
std::string Line(const Parts&... parts) {
  std::string out;
  ((out += Piece(parts)), ...);
  return out;
}

// One backend: its types and functions under common names.
struct LiteApi {
  using FileFuncs = unzip_lite::zlib_filefunc64_def;
  using GlobalInfo = unzip_lite::unz_global_info64;
  using FileInfo = unzip_lite::unz_file_info64;
  static constexpr auto Open = unzip_lite::unzOpen2_64;
  static constexpr auto Close = unzip_lite::unzClose;
  static constexpr auto GlobalInfo64 = unzip_lite::unzGetGlobalInfo64;
  static constexpr auto GlobalComment = unzip_lite::unzGetGlobalComment;
  static constexpr auto First = unzip_lite::unzGoToFirstFile;
  static constexpr auto Next = unzip_lite::unzGoToNextFile;
  static constexpr auto Info = unzip_lite::unzGetCurrentFileInfo64;
  static constexpr auto OpenEntry = unzip_lite::unzOpenCurrentFile;
  static constexpr auto Read = unzip_lite::unzReadCurrentFile;
  static constexpr auto CloseEntry = unzip_lite::unzCloseCurrentFile;
  static constexpr int kOk = unzip_lite::kOk;
};

template <class Api>
class Walker {
 public:
  Walker(const MemoryArchive& archive, const WalkLimits& limits)
      : archive_(archive), limits_(limits) {}

  Transcript Run() {
    auto funcs = MemoryFileFuncs<typename Api::FileFuncs>(&log_);
    void* zip = Api::Open(&archive_, &funcs);
    Add("open ", zip != nullptr ? "handle" : "null", " streams ", log_.opens, "/", log_.closes);
    if (zip == nullptr) return out_;
    typename Api::GlobalInfo global;
    global.number_entry = 0xabababab;
    global.size_comment = 0xcdcdcd;
    const int rc = Api::GlobalInfo64(zip, &global);
    Add("global ", rc, " entries ", global.number_entry, " comment ", global.size_comment);
    Comment(zip, global.size_comment < 0x10000 ? global.size_comment + 1 : 0x10000);
    Comment(zip, 5);
    Add("comment into null ", Api::GlobalComment(zip, nullptr, 0));

    int step = Api::First(zip);
    Add("first ", step);
    for (unsigned long long n = 0; step == Api::kOk && n < limits_.max_entries; ++n) {
      Entry(zip, n);
      step = Api::Next(zip);
      Add("next ", step);
    }
    Info(zip, "after", 256, 64, 64, true);
    const int reopened = Api::OpenEntry(zip);
    Add("open after ", reopened);
    if (reopened == Api::kOk) Add("close after ", Api::CloseEntry(zip));
    Add("next after ", Api::Next(zip));
    Add("close ", Api::Close(zip), " streams ", log_.opens, "/", log_.closes);
    return out_;
  }

 private:
  template <class... Parts>
  void Add(const Parts&... parts) {
    out_.push_back(Line(parts...));
  }

  void Comment(void* zip, unsigned long size) {
    std::vector<char> buf(size + 1, '\xee');
    const int rc = Api::GlobalComment(zip, buf.data(), size);
    Add("comment(", size, ") ", rc, " ", Text(buf.data(), buf.size()));
  }

  // One entry-info call; a size of -1 passes no buffer. Returns the uncompressed size when
  // the call succeeded, else 0.
  unsigned long long Info(void* zip, const std::string& what, long name, long extra, long comment,
                          bool with_info) {
    typename Api::FileInfo info, untouched;
    std::memset(&info, 0xab, sizeof info);
    std::memset(&untouched, 0xab, sizeof untouched);
    std::vector<char> n(static_cast<std::size_t>(name + 1), '\xee');
    std::vector<char> x(static_cast<std::size_t>(extra + 1), '\xee');
    std::vector<char> c(static_cast<std::size_t>(comment + 1), '\xee');
    const int rc = Api::Info(
        zip, with_info ? &info : nullptr, name < 0 ? nullptr : n.data(),
        static_cast<unsigned long>(name < 0 ? 0 : name), extra < 0 ? nullptr : x.data(),
        static_cast<unsigned long>(extra < 0 ? 0 : extra), comment < 0 ? nullptr : c.data(),
        static_cast<unsigned long>(comment < 0 ? 0 : comment));
    const auto& t = info.tmu_date;
    if (std::memcmp(&info, &untouched, sizeof info) == 0) {
      Add(what, " info ", rc, " untouched");
    } else {
      Add(what, " info ", rc, " v ", info.version, " ", info.version_needed, " flag ", info.flag,
          " method ", info.compression_method, " crc ", info.crc, " sizes ", info.compressed_size,
          " ", info.uncompressed_size, " lengths ", info.size_filename, " ", info.size_file_extra,
          " ", info.size_file_comment, " disk ", info.disk_num_start, " attr ", info.internal_fa,
          " ", info.external_fa, " time ", info.dosDate, " ", t.tm_year, "-", t.tm_mon, "-",
          t.tm_mday, " ", t.tm_hour, ":", t.tm_min, ":", t.tm_sec);
    }
    if (name >= 0) Add(what, " name ", Text(n.data(), n.size()));
    if (extra >= 0) Add(what, " extra ", Text(x.data(), x.size()));
    if (comment >= 0) Add(what, " comment ", Text(c.data(), c.size()));
    return rc == Api::kOk && with_info ? info.uncompressed_size : 0;
  }

  void Entry(void* zip, unsigned long long n) {
    const std::string at = "entry " + std::to_string(n);
    const unsigned long long size = Info(zip, at, 256, 64, 64, true);
    Info(zip, at + " small", 3, 2, 4, true);
    Info(zip, at + " skipping", -1, 64, 64, false);
    Info(zip, at + " comment only", -1, -1, 64, true);
    Info(zip, at + " empty name", 0, -1, -1, true);

    const auto whole = static_cast<unsigned>(std::min<unsigned long long>(size, limits_.max_bytes));
    Pass(zip, at + " whole", whole, limits_.max_bytes);
    Pass(zip, at + " chunks", 0, limits_.max_bytes);
    Pass(zip, at + " partial", 1, 1);
  }

  // Opens the entry, reads `first` bytes in one call (none if 0), then chunks until the
  // entry ends, fails or `budget` bytes came, and closes it.
  void Pass(void* zip, const std::string& what, unsigned first, unsigned budget) {
    const int opened = Api::OpenEntry(zip);
    if (opened != Api::kOk) {
      Add(what, " open ", opened, " read ", Api::Read(zip, nullptr, 0), " close ",
          Api::CloseEntry(zip));
      return;
    }
    std::vector<unsigned char> bytes;
    std::vector<std::pair<int, int>> results;  // result, repeats
    auto read = [&](unsigned len) {
      const std::size_t at = bytes.size();
      bytes.resize(at + len);
      const int rc = Api::Read(zip, bytes.data() + at, len);
      bytes.resize(at + static_cast<std::size_t>(rc > 0 ? rc : 0));
      if (!results.empty() && results.back().first == rc) {
        ++results.back().second;
      } else {
        results.push_back({rc, 1});
      }
      return rc;
    };
    int rc = first > 0 ? read(first) : 1;
    while (rc > 0 && bytes.size() < budget) rc = read(limits_.chunk);
    std::string summary;
    for (const auto& [result, repeats] : results) summary += Line(" ", result, "x", repeats);
    Add(what, " open 0 read", summary, " bytes ", bytes.size(), " ", Hash(bytes), " close ",
        Api::CloseEntry(zip));
  }

  MemoryArchive archive_;
  WalkLimits limits_;
  IoLog log_;
  Transcript out_;
};

template <class Api>
Transcript Walk(const MemoryArchive& archive, const WalkLimits& limits = {}) {
  return Walker<Api>(archive, limits).Run();
}

}  // namespace kestrava::ziptest
