// Writing the program file: the executable image followed by the payload container (layout in
// payload/container_walk.h), the filler, and zero bytes up to the next multiple of 8, where a
// signature block may follow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrava::pack {

struct PlatformArchive {
  std::string platformName;
  std::string archive;  // one complete ZIP archive
};

inline constexpr char kContainerFiller[] = "ffasdfasasdfs";
inline constexpr int kContainerFillerRepeats = 10;
inline constexpr uint64_t kProgramFileAlignment = 8;

// The bytes that follow an image of `imageSize` bytes: header, one record per archive in the
// order given, trailer, filler and padding. Returns false and sets `error` when the result
// would not fit the reader: a version text above 50 bytes, a platform name of 0 or above 255
// bytes or not shorter than its archive, more than 9998 records, or a program file of 2 GiB
// or more (every offset and size is a signed 32-bit field).
bool BuildContainer(uint64_t imageSize, const std::string& version,
                    const std::vector<PlatformArchive>& records, std::string& container,
                    std::string& error);

// Writes `output` as a copy of `image` followed by the container. Returns false and sets
// `error` when the image cannot be read, the container cannot be built or the output cannot
// be written; a partly written output is removed.
bool WritePackedProgram(const std::filesystem::path& image, const std::filesystem::path& output,
                        const std::string& version, const std::vector<PlatformArchive>& records,
                        std::string& error);

}  // namespace kestrava::pack
