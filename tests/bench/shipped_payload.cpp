#include "tests/bench/shipped_payload.h"

#include <stdexcept>

#include "tests/tools/pack/driver_tree.h"
#include "tools/pack/container_writer.h"
#include "tools/pack/folder_zip.h"

namespace kestrava::bench {

namespace fs = std::filesystem;

namespace {

struct PlatformSize {
  const char* name;
  size_t unpacked;  // driver-like bytes deflate to about 0.4 of their size
};

constexpr PlatformSize kPlatforms[] = {
    {"Windows ARM64", 4'400'000}, {"Windows NT x86", 2'930'000}, {"Windows x64", 3'710'000}};

}  // namespace

ShippedPayload WriteShippedPayload(const fs::path& folder) {
  ShippedPayload payload;
  payload.root = folder / "root";
  const fs::path program = payload.root / "C" / "Setup" / "KestravaSetup.exe";
  fs::create_directories(program.parent_path());
  const fs::path image = folder / "image.exe";
  packtest::WriteFile(image, "MZ" + std::string(400'000, '\x90'));

  std::vector<pack::PlatformArchive> records;
  uint32_t seed = 0;
  for (const PlatformSize& platform : kPlatforms) {
    const fs::path source = folder / "sources" / platform.name;
    packtest::WriteDriverTree(source, ++seed, platform.unpacked);
    for (const auto& [name, bytes] : packtest::Snapshot(source))
      payload.unpackedBytes += bytes.size();

    pack::PlatformArchive record{platform.name, std::string()};
    std::string error;
    if (!pack::ZipFolder(source, record.archive, error)) throw std::runtime_error(error);
    payload.archives.push_back(folder / (std::string(platform.name) + ".zip"));
    packtest::WriteFile(payload.archives.back(), record.archive);
    payload.archiveSizes.push_back(record.archive.size());
    payload.platforms.push_back(platform.name);
    records.push_back(std::move(record));
  }
  std::string error;
  if (!pack::WritePackedProgram(image, program, "8.11.25.825", records, error)) {
    throw std::runtime_error(error);
  }
  return payload;
}

}  // namespace kestrava::bench
