// Builds ZIP archives in memory for tests: stored or deflated entries, folder entries, a
// global comment, and deliberate damage (a wrong CRC, a claimed size).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrava::testing {

struct ZipEntry {
  ZipEntry(std::string n, std::string d, bool deflated = true,
           std::optional<uint32_t> crc = std::nullopt,
           std::optional<uint32_t> uncompressedSize = std::nullopt)
      : name(std::move(n)),
        data(std::move(d)),
        deflate(deflated),
        crcOverride(crc),
        uncompressedSizeOverride(uncompressedSize) {}

  std::string name;
  std::string data;
  bool deflate = true;
  std::optional<uint32_t> crcOverride;               // stored in both headers
  std::optional<uint32_t> uncompressedSizeOverride;  // stored in both headers
};

std::string BuildZip(const std::vector<ZipEntry>& entries, const std::string& comment = "");

// Driver-like bytes: runs of text, tables and noise, compressing to roughly half.
std::string DriverLikeBytes(size_t size, uint32_t seed);

}  // namespace kestrava::testing
