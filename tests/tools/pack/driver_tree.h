// Driver trees on disk for the packer's tests and the extraction benchmark: a temporary folder
// of the test's own, driver-like platform folders written into it, and snapshots of trees to
// compare byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kestrava::packtest {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to `path`, making its folders first.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

// Every file and folder below a folder: "RES/P80.DLL" -> its bytes, "RES/" -> "" for a folder.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot Snapshot(const std::filesystem::path& folder);

// Writes one platform folder laid out as the program expects (Receipt.ini and the driver files
// at the top, Font/ and RES/ below, an empty RES/Spare/), with about `bytes` of driver-like
// content spread over the files, an empty file among them. `seed` varies the content.
void WriteDriverTree(const std::filesystem::path& folder, uint32_t seed, size_t bytes);

// The entry names WriteDriverTree's folder packs to, in the packer's order.
std::vector<std::string> DriverTreeEntryOrder();

}  // namespace kestrava::packtest
