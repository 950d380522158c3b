#include "tests/payload/zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace kestrava::testing {

namespace {

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<ZipEntry>& entries, const std::string& comment) {
  std::string body;
  std::string central;
  for (const ZipEntry& entry : entries) {
    const bool folder = !entry.name.empty() && entry.name.back() == '/';
    const bool deflate = entry.deflate && !folder;
    const std::string stored = deflate ? RawDeflate(entry.data) : entry.data;
    const uint32_t crc = entry.crcOverride.value_or(
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()),
                                    static_cast<uInt>(entry.data.size()))));
    const uint32_t size =
        entry.uncompressedSizeOverride.value_or(static_cast<uint32_t>(entry.data.size()));
    const uint32_t offset = static_cast<uint32_t>(body.size());

    auto common = [&](std::string& out) {
      Put16(out, 20);               // version needed
      Put16(out, 0);                // flags
      Put16(out, deflate ? 8 : 0);  // method
      Put16(out, 0x6000);           // time 12:00
      Put16(out, 0x5A88);           // date 2025-04-08
      Put32(out, crc);
      Put32(out, static_cast<uint32_t>(stored.size()));
      Put32(out, size);
      Put16(out, static_cast<uint32_t>(entry.name.size()));
      Put16(out, 0);  // extra
    };
    Put32(body, 0x04034b50);
    common(body);
    body += entry.name;
    body += stored;

    Put32(central, 0x02014b50);
    Put16(central, 20);  // version made by
    common(central);
    Put16(central, 0);                     // comment length
    Put16(central, 0);                     // disk
    Put16(central, 0);                     // internal attributes
    Put32(central, folder ? 0x10 : 0x20);  // external attributes
    Put32(central, offset);
    central += entry.name;
  }
  std::string out = body + central;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, static_cast<uint32_t>(body.size()));
  Put16(out, static_cast<uint32_t>(comment.size()));
  out += comment;
  return out;
}

std::string DriverLikeBytes(size_t size, uint32_t seed) {
  std::string out;
  out.reserve(size);
  uint32_t state = seed * 2654435761u + 1;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  static const char* const kWords[] = {"*Feature: ", "PaperSize",  "Resolution ", "Cursor",
                                       "Receipt ",   "0x1B 0x40 ", "Option ",     "\r\n"};
  while (out.size() < size) {
    const uint32_t kind = next() % 4;
    if (kind == 0) {
      for (int i = 0; i < 16; ++i) out += kWords[next() % 8];
    } else if (kind == 1) {
      for (uint32_t i = 0; i < 64; ++i) out.push_back(static_cast<char>(i * 4));
    } else {
      for (int i = 0; i < 48; ++i) out.push_back(static_cast<char>(next() & 0xFF));
    }
  }
  out.resize(size);
  return out;
}

}  // namespace kestrava::testing
