// A payload of the shipped size on disk, for the extraction benchmark: three platform folders
// of driver-like content zipped by the packer into archives of about 1.8, 1.2 and 1.5 MB
// (ARM64, NT x86, x64, as the shipped program carries them), the program file packed from them
// below a host root that PosixFiles maps to drive C:, and the same archives as .zip files for
// the unzip reference.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrava::bench {

inline constexpr char16_t kProgramPath[] = u"C:\\Setup\\KestravaSetup.exe";

struct ShippedPayload {
  std::filesystem::path root;                   // holds C/ for PosixFiles
  std::vector<std::filesystem::path> archives;  // one .zip per platform, outside the root
  std::vector<std::string> platforms;
  std::vector<uint64_t> archiveSizes;
  uint64_t unpackedBytes = 0;  // all files together
};

// Writes everything below `folder` (which must exist) with the packer's own code. Throws
// std::runtime_error when packing fails.
ShippedPayload WriteShippedPayload(const std::filesystem::path& folder);

}  // namespace kestrava::bench
