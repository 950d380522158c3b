#include "tests/tools/pack/driver_tree.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/payload/zip_builder.h"

namespace kestrava::packtest {

namespace fs = std::filesystem;

namespace {

struct TreeFile {
  const char* name;
  unsigned weight;  // share of the content, in parts of kTotalWeight
};

// In the packer's order: top-level files sorted by byte value, then each folder and its files.
constexpr TreeFile kTreeFiles[] = {
    {"QXCHISMPL.DLL", 6},   {"QXCHITRAD.DLL", 6},    {"QXENGLISH.DLL", 5}, {"Receipt.ini", 0},
    {"ReceiptDrv.dll", 12}, {"ReceiptUI.dll", 10},   {"STDNAMES.GPD", 2},  {"TTFSUB.GPD", 1},
    {"UNIDRV.DLL", 20},     {"UNIDRV.HLP", 3},       {"UNIDRVUI.DLL", 9},  {"UNIRES.DLL", 8},
    {"Font/", 0},           {"Font/BARCODE.TTF", 4}, {"RES/", 0},          {"RES/EMPTY.GPD", 0},
    {"RES/P58.DLL", 2},     {"RES/P58.GPD", 1},      {"RES/P58C.GPD", 1},  {"RES/P76.DLL", 2},
    {"RES/P76.GPD", 1},     {"RES/P76C.GPD", 1},     {"RES/P80.DLL", 3},   {"RES/P80.GPD", 1},
    {"RES/P80C.GPD", 2},    {"RES/Spare/", 0}};
constexpr unsigned kTotalWeight = 100;

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "kestrava-pack-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TreeSnapshot Snapshot(const fs::path& folder) {
  TreeSnapshot out;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).generic_string();
    if (entry.is_directory()) {
      out[name + "/"] = "";
    } else {
      out[name] = ReadFile(entry.path());
    }
  }
  return out;
}

void WriteDriverTree(const fs::path& folder, uint32_t seed, size_t bytes) {
  fs::create_directories(folder);
  uint32_t fileSeed = seed * 1000;
  for (const TreeFile& file : kTreeFiles) {
    const std::string name = file.name;
    if (name.back() == '/') {
      fs::create_directories(folder / name);
    } else if (name == "Receipt.ini") {
      WriteFile(folder / name,
                "[OEMFiles]\r\nOEMDriverFile1=ReceiptDrv.dll\r\nOEMConfigFile1=ReceiptUI.dll\r\n");
    } else {
      WriteFile(folder / name,
                testing::DriverLikeBytes(bytes / kTotalWeight * file.weight, ++fileSeed));
    }
  }
}

std::vector<std::string> DriverTreeEntryOrder() {
  std::vector<std::string> names;
  for (const TreeFile& file : kTreeFiles) names.emplace_back(file.name);
  return names;
}

}  // namespace kestrava::packtest
