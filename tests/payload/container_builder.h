// Builds program files with an appended payload container for tests, field by field, so
// that every malformed variant can be made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrava::testing {

struct ContainerRecord {
  ContainerRecord(std::string n, std::string d) : name(std::move(n)), data(std::move(d)) {}

  std::string name;
  std::string data;
  std::optional<int32_t> nameLength;  // overrides the true length
  std::optional<int32_t> dataSize;    // overrides the true size
};

struct Container {
  std::string image = std::string("MZ") + std::string(510, '\x90');  // the executable image
  std::string version = "8.11.25.825";
  std::optional<int32_t> versionLength;
  std::vector<ContainerRecord> records;
  std::optional<int32_t> entryCount;     // default: records + 1
  std::optional<int32_t> payloadOffset;  // default: the end of the image
  std::string afterTrailer = Filler();   // filler, padding, a signature block
  bool truncateAfterTag = false;         // the file ends right after "EndMarker"

  std::string Build() const;
  static std::string Filler();
};

void AppendInt32(std::string& out, int32_t value);

}  // namespace kestrava::testing
