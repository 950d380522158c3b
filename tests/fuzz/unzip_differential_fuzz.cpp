// Differential fuzzing of unzip_lite against minizip: any bytes as an archive, walked through
// both (see tests/payload/unzip/zip_walk.h), once as they are and once with an I/O error in a
// stretch of the stream that the input chooses. Aborts, printing both lines, at the first step
// where the two disagree on an entry, a name, a size, a byte or a result code.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/payload/unzip/minizip_walk_api.h"
#include "tests/payload/unzip/zip_walk.h"

namespace {

using kestrava::ziptest::LiteApi;
using kestrava::ziptest::MemoryArchive;
using kestrava::ziptest::MinizipApi;
using kestrava::ziptest::Walk;
using kestrava::ziptest::WalkLimits;

void Compare(const MemoryArchive& archive) {
  WalkLimits limits;
  limits.max_entries = 64;
  limits.max_bytes = 256u << 10;
  limits.chunk = 97;
  const std::string difference = kestrava::ziptest::FirstDifference(
      Walk<MinizipApi>(archive, limits), Walk<LiteApi>(archive, limits));
  if (difference.empty()) return;
  std::fprintf(stderr, "minizip (expected) and unzip_lite (actual) disagree at %s\n",
               difference.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryArchive archive;
  archive.data = data;
  archive.size = size;
  Compare(archive);
  if (size >= 4) {
    // The last two bytes place a stretch of unreadable bytes; the archive keeps them too.
    const unsigned where = data[size - 1] | data[size - 2] << 8;
    archive.fail_from = where % size;
    archive.fail_to = archive.fail_from + 1 + data[size - 3] % 64;
    Compare(archive);
  }
  return 0;
}
