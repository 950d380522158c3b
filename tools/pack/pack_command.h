// The pack command: zips one folder per platform and appends the container to a copy of the
// program image.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava::pack {

// The platform folder names the program looks for, in the order the shipped program file
// carries them. A record under any other name would never be installed.
inline constexpr std::array<std::string_view, 3> kPlatformNames = {"Windows ARM64",
                                                                   "Windows NT x86", "Windows x64"};

struct PlatformFolder {
  std::string name;
  std::filesystem::path folder;
};

struct PackRequest {
  std::filesystem::path program;  // the executable image as the linker wrote it
  std::filesystem::path output;
  std::string version;
  std::vector<PlatformFolder> platforms;  // in container order
};

// What can be checked before touching the disk: the paths are given, at least one platform,
// every name one of kPlatformNames and none twice, a version text of 1 to 50 bytes. Returns
// false and sets `error` otherwise.
bool CheckPackRequest(const PackRequest& request, std::string& error);

// Checks the request, that every platform folder exists, that the output is not the image and
// that the image carries no container yet; zips every folder (ZipFolder); writes the program
// file beside the output and reads it back with the program's reader before it replaces the
// output. Returns false and sets `error` on any refusal or failure; an existing output is then
// left as it was.
bool Pack(const PackRequest& request, std::string& error);

}  // namespace kestrava::pack
