#include "tests/payload/container_builder.h"

namespace kestrava::testing {

void AppendInt32(std::string& out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(bits >> shift));
}

std::string Container::Filler() {
  std::string filler;
  for (int i = 0; i < 10; ++i) filler += "ffasdfasasdfs";
  return filler;
}

std::string Container::Build() const {
  std::string out = image;
  AppendInt32(out, versionLength.value_or(static_cast<int32_t>(version.size())));
  out += version;
  for (const ContainerRecord& record : records) {
    AppendInt32(out, record.nameLength.value_or(static_cast<int32_t>(record.name.size())));
    AppendInt32(out, record.dataSize.value_or(static_cast<int32_t>(record.data.size())));
    out += record.name;
    out += record.data;
  }
  out += "EndMarker";
  if (truncateAfterTag) return out;
  AppendInt32(out, entryCount.value_or(static_cast<int32_t>(records.size()) + 1));
  AppendInt32(out, payloadOffset.value_or(static_cast<int32_t>(image.size())));
  out += afterTrailer;
  while (out.size() % 8 != 0) out.push_back('\0');
  return out;
}

}  // namespace kestrava::testing
