#include "tests/payload/unzip/zip_walk.h"

#include <cstdio>

namespace kestrava::ziptest {

std::string Text(const char* bytes, std::size_t size) {
  std::string out;
  char hex[8];
  for (std::size_t i = 0; i < size;) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    std::size_t run = 1;
    while (i + run < size && bytes[i + run] == bytes[i]) ++run;
    if (run >= 4) {
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += Line(hex, "*", run);
      i += run;
      continue;
    }
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      out += static_cast<char>(byte);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    }
    ++i;
  }
  return out;
}

std::string Hash(const std::vector<unsigned char>& bytes) {
  std::uint64_t h = 0xcbf29ce484222325u;  // FNV-1a
  for (unsigned char b : bytes) h = (h ^ b) * 0x100000001b3u;
  char out[24];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
  return out;
}

std::string FirstDifference(const Transcript& expected, const Transcript& actual) {
  const std::size_t lines = std::max(expected.size(), actual.size());
  for (std::size_t i = 0; i < lines; ++i) {
    const std::string e = i < expected.size() ? expected[i] : "(none)";
    const std::string a = i < actual.size() ? actual[i] : "(none)";
    if (e != a) return Line("line ", i + 1, "\n  expected: ", e, "\n  actual:   ", a);
  }
  return "";
}

}  // namespace kestrava::ziptest
