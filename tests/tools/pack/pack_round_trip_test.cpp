// Packing driver trees and reading them back: the listing, the container bytes, the archives,
// and a full extraction by the program's own code into a host folder.
#include <minizip/unzip.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "payload/payload_extraction.h"
#include "platform/posix/file_security_posix.h"
#include "platform/posix/files_posix.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/tools/pack/driver_tree.h"
#include "tools/pack/folder_zip.h"
#include "tools/pack/tool_main.h"

namespace kestrava::pack {
namespace {

namespace fs = std::filesystem;
using packtest::Snapshot;
using packtest::TreeSnapshot;

const char* const kPlatforms[] = {"Windows ARM64", "Windows NT x86", "Windows x64"};
constexpr char kVersion[] = "8.11.25.825";

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image = temp.path() / "image.exe";
    packtest::WriteFile(image, "MZ" + std::string(1001, '\x90'));  // not a multiple of 8
  }

  void WriteGeneratedTree() {
    uint32_t seed = 0;
    for (const char* platform : kPlatforms) {
      packtest::WriteDriverTree(sources / platform, ++seed, 60000);
    }
  }

  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return PackToolMain(args, out, err);
  }

  int Pack(const fs::path& output) {
    std::vector<std::string> args = {"pack",          "--program", image.string(), "--output",
                                     output.string(), "--version", kVersion};
    for (const char* platform : kPlatforms) {
      args.insert(args.end(),
                  {"--platform", std::string(platform) + "=" + (sources / platform).string()});
    }
    return Run(args);
  }

  std::string Archive(const char* platform) {
    std::string archive;
    std::string error;
    EXPECT_TRUE(ZipFolder(sources / platform, archive, error)) << error;
    return archive;
  }

  packtest::TempFolder temp;
  fs::path image;
  fs::path sources = temp.path() / "sources";
  std::ostringstream out;
  std::ostringstream err;
};

class PackRoundTrip : public PackTest, public ::testing::WithParamInterface<bool> {};

// The generated trees hold binary content and an empty file and folder; the sample tree is the
// one the build packs into the program.
TEST_P(PackRoundTrip, ListsAndExtractsByteForByte) {
  if (GetParam()) {
    sources = KESTRAVA_SAMPLE_DRIVER_TREE;
  } else {
    WriteGeneratedTree();
  }
  const fs::path root = temp.path() / "root";
  const fs::path program = root / "C" / "Setup" / "KestravaSetup.exe";
  fs::create_directories(program.parent_path());
  ASSERT_EQ(kExitOk, Pack(program)) << err.str();

  std::string listing = "version \"" + std::string(kVersion) + "\"\n";
  for (const char* platform : kPlatforms) {
    listing += "record \"" + std::string(platform) + "\" " +
               std::to_string(Archive(platform).size()) + " bytes\n";
  }
  ASSERT_EQ(kExitOk, Run({"list", program.string()})) << err.str();
  EXPECT_EQ(listing, out.str());

  PosixFiles files(root.string());
  FakeSystemInfo system;
  FakeProcess process;
  process.programFilePath = u"C:\\Setup\\KestravaSetup.exe";
  PosixFileSecurity security;
  const WString work = u"C:\\Program Files (x86)\\Kestrava V8.11\\";
  PayloadExtraction extraction(files, system, process, security, work);
  ASSERT_EQ(kPayloadOk, extraction.ExtractPayload());

  TreeSnapshot expected;
  for (const char* platform : kPlatforms) {
    expected[std::string(platform) + "/"] = "";
    for (const auto& [name, bytes] : Snapshot(sources / platform)) {
      expected[std::string(platform) + "/" + name] = bytes;
    }
  }
  // Any archive left behind would show up here as well.
  EXPECT_EQ(expected, Snapshot(files.HostPath(work)));
}

INSTANTIATE_TEST_SUITE_P(Trees, PackRoundTrip, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Sample" : "Generated"; });

TEST_F(PackTest, SameTreeSameBytesWhateverTheFileTimes) {
  WriteGeneratedTree();
  ASSERT_EQ(kExitOk, Pack(temp.path() / "first.exe")) << err.str();
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sources)) {
    fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(49));
  }
  ASSERT_EQ(kExitOk, Pack(temp.path() / "second.exe")) << err.str();
  EXPECT_EQ(packtest::ReadFile(temp.path() / "first.exe"),
            packtest::ReadFile(temp.path() / "second.exe"));
}

// Reads the program file field by field, as laid out for the program's reader.
class FieldReader {
 public:
  explicit FieldReader(std::string bytes) : bytes_(std::move(bytes)) {}
  std::string Take(size_t count) {
    const std::string out = bytes_.substr(at_, count);
    at_ += count;
    return out;
  }
  int64_t Int32() {
    const std::string raw = Take(4);
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(raw[i]);
    return static_cast<int32_t>(value);
  }
  std::string Rest() { return Take(std::string::npos); }
  size_t size() const { return bytes_.size(); }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

TEST_F(PackTest, ProgramFileIsTheImageFollowedByTheContainer) {
  WriteGeneratedTree();
  const fs::path program = temp.path() / "packed.exe";
  ASSERT_EQ(kExitOk, Pack(program)) << err.str();
  const std::string imageBytes = packtest::ReadFile(image);

  FieldReader file(packtest::ReadFile(program));
  EXPECT_EQ(0u, file.size() % 8);
  EXPECT_EQ(imageBytes, file.Take(imageBytes.size()));
  EXPECT_EQ(11, file.Int32());
  EXPECT_EQ(kVersion, file.Take(11));
  for (const char* platform : kPlatforms) {
    SCOPED_TRACE(platform);
    const std::string archive = Archive(platform);
    EXPECT_EQ(static_cast<int64_t>(std::strlen(platform)), file.Int32());
    EXPECT_EQ(static_cast<int64_t>(archive.size()), file.Int32());
    EXPECT_EQ(platform, file.Take(std::strlen(platform)));
    EXPECT_TRUE(file.Take(archive.size()) == archive);
  }
  EXPECT_EQ("EndMarker", file.Take(9));
  EXPECT_EQ(4, file.Int32());
  EXPECT_EQ(static_cast<int64_t>(imageBytes.size()), file.Int32());
  std::string filler;
  for (int i = 0; i < 10; ++i) filler += "ffasdfasasdfs";
  EXPECT_EQ(filler, file.Take(filler.size()));
  const std::string padding = file.Rest();
  EXPECT_LT(padding.size(), 8u);
  EXPECT_EQ(std::string(padding.size(), '\0'), padding);
}

TEST_F(PackTest, ArchiveHoldsTopFilesThenEachFolderWithItsFiles) {
  packtest::WriteDriverTree(sources / "x64", 7, 20000);
  std::string archive;
  std::string error;
  ASSERT_TRUE(ZipFolder(sources / "x64", archive, error)) << error;
  const fs::path zipPath = temp.path() / "x64.zip";
  packtest::WriteFile(zipPath, archive);

  unzFile zip = unzOpen64(zipPath.string().c_str());
  ASSERT_NE(nullptr, zip);
  std::vector<std::string> names;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[300] = {};
    ASSERT_EQ(UNZ_OK,
              unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0));
    names.emplace_back(name);
    SCOPED_TRACE(name);
    const bool folder = names.back().back() == '/';
    EXPECT_EQ(folder ? 0u : static_cast<uLong>(Z_DEFLATED), info.compression_method);
    EXPECT_EQ(folder ? 0x10u : 0x20u, info.external_fa);
    EXPECT_EQ(0x00210000u, info.dosDate);  // 1980-01-01 00:00
  }
  unzClose(zip);
  EXPECT_EQ(packtest::DriverTreeEntryOrder(), names);
}

}  // namespace
}  // namespace kestrava::pack
