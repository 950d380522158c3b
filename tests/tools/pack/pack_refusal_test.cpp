// What the packer refuses, and how: a message that names the problem, a non-zero exit code,
// and no program file written.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "tests/tools/pack/driver_tree.h"
#include "tools/pack/tool_main.h"

namespace kestrava::pack {
namespace {

namespace fs = std::filesystem;

// A request as the fixture sets it up; each row changes it or the trees on disk.
struct Request {
  fs::path root;
  std::string program;
  std::string output;
  std::string version = "8.11.25.825";
  std::vector<std::string> platforms;  // "NAME=FOLDER"
  std::vector<std::string> extra;      // appended as they stand

  std::vector<std::string> Args() const {
    std::vector<std::string> args = {"pack", "--program", program, "--output",
                                     output, "--version", version};
    for (const std::string& platform : platforms) args.insert(args.end(), {"--platform", platform});
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  fs::path Folder(const char* platform) const { return root / "sources" / platform; }
};

struct Refusal {
  const char* name;
  std::function<void(Request&)> change;
  int exitCode;
  const char* message;  // expected in the error output
};

void PrintTo(const Refusal& row, std::ostream* out) {
  *out << row.name;
}

class PackRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(PackRefusal, RefusesWithAMessageAndWritesNothing) {
  packtest::TempFolder temp;
  Request setup;
  setup.root = temp.path();
  setup.program = (temp.path() / "image.exe").string();
  setup.output = (temp.path() / "out" / "KestravaSetup.exe").string();
  packtest::WriteFile(setup.program, "MZ" + std::string(300, '\0'));
  fs::create_directories(temp.path() / "out");
  uint32_t seed = 0;
  for (const char* platform : {"Windows ARM64", "Windows NT x86", "Windows x64"}) {
    packtest::WriteDriverTree(setup.Folder(platform), ++seed, 3000);
    setup.platforms.push_back(std::string(platform) + "=" + setup.Folder(platform).string());
  }
  GetParam().change(setup);

  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(GetParam().exitCode, PackToolMain(setup.Args(), out, err));
  EXPECT_NE(std::string::npos, err.str().find(GetParam().message)) << err.str();
  std::vector<std::string> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(temp.path() / "out")) {
    written.push_back(entry.path().filename().string());
  }
  const auto expected = GetParam().exitCode == kExitOk
                            ? std::vector<std::string>{"KestravaSetup.exe"}
                            : std::vector<std::string>{};
  EXPECT_EQ(expected, written);
}

void SetPlatform(Request& s, size_t index, const std::string& value) {
  s.platforms[index] = value;
}

// The program already packed, given as the image.
void PackedImage(Request& s) {
  std::ostringstream ignored;
  const std::string packed = (s.root / "packed.exe").string();
  Request first = s;
  first.output = packed;
  ASSERT_EQ(kExitOk, PackToolMain(first.Args(), ignored, ignored));
  s.program = packed;
}

const Refusal kRefusals[] = {
    {"UnknownPlatform",
     [](Request& s) { SetPlatform(s, 0, "Windows x86=" + s.Folder("x").string()); }, kExitRefused,
     "unknown platform name \"Windows x86\""},
    {"PlatformInOtherCase",
     [](Request& s) { SetPlatform(s, 2, "windows x64=" + s.Folder("Windows x64").string()); },
     kExitRefused, "unknown platform name \"windows x64\""},
    {"PlatformWithTrailingSpace",
     [](Request& s) { SetPlatform(s, 2, "Windows x64 =" + s.Folder("Windows x64").string()); },
     kExitRefused, "unknown platform name \"Windows x64 \""},
    {"DuplicatePlatform",
     [](Request& s) { SetPlatform(s, 0, "Windows x64=" + s.Folder("Windows ARM64").string()); },
     kExitRefused, "platform \"Windows x64\" is given twice"},
    {"VersionOf51Bytes", [](Request& s) { s.version = std::string(51, '8'); }, kExitRefused,
     "version text must be 1 to 50 bytes"},
    {"EmptyVersion", [](Request& s) { s.version.clear(); }, kExitRefused,
     "version text must be 1 to 50 bytes"},
    {"MissingFolder", [](Request& s) { fs::remove_all(s.Folder("Windows NT x86")); }, kExitRefused,
     "the folder of \"Windows NT x86\" does not exist"},
    {"EmptyFolder",
     [](Request& s) {
       fs::remove_all(s.Folder("Windows x64"));
       fs::create_directories(s.Folder("Windows x64") / "RES");
     },
     kExitRefused, "holds no file to pack"},
    {"MissingImage", [](Request& s) { fs::remove(s.program); }, kExitRefused,
     "the image does not exist"},
    {"ImageAlreadyPacked", PackedImage, kExitRefused, "carries a container already"},
    {"OutputIsTheImage", [](Request& s) { s.output = s.program; }, kExitRefused,
     "would overwrite the image"},
    {"NameWithBackslash",
     [](Request& s) { packtest::WriteFile(s.Folder("Windows x64") / "RES\\P80.DLL", "x"); },
     kExitRefused, "which Windows does not take"},
    {"NameNotAscii",
     [](Request& s) {
       packtest::WriteFile(s.Folder("Windows x64") / "Font" / "B\xC3\xA4r.ttf", "x");
     },
     kExitRefused, "not printable ASCII"},
    {"NameEndingInDot",
     [](Request& s) { packtest::WriteFile(s.Folder("Windows ARM64") / "README.", "x"); },
     kExitRefused, "ends with a dot or a space"},
    {"NamesDifferingInCase",
     [](Request& s) { packtest::WriteFile(s.Folder("Windows ARM64") / "RES" / "p80.dll", "x"); },
     kExitRefused, "differs only in letter case"},
    {"PlatformWithoutFolder", [](Request& s) { SetPlatform(s, 1, "Windows NT x86"); }, kExitUsage,
     "--platform takes NAME=FOLDER"},
    {"UnknownOption",
     [](Request& s) {
       s.extra = {"--level", "9"};
     },
     kExitUsage, "unknown option --level"},
    {"OptionWithoutValue", [](Request& s) { s.extra = {"--output"}; }, kExitUsage,
     "option --output needs a value"},
    {"VersionOf50BytesIsAccepted", [](Request& s) { s.version = std::string(50, '8'); }, kExitOk,
     ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, PackRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

struct ListCase {
  const char* name;
  std::function<std::vector<std::string>(const fs::path&)> args;
  int exitCode;
  const char* message;
};

void PrintTo(const ListCase& row, std::ostream* out) {
  *out << row.name;
}

class ListRefusal : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListRefusal, FailsClearly) {
  packtest::TempFolder temp;
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(GetParam().exitCode, PackToolMain(GetParam().args(temp.path()), out, err));
  EXPECT_NE(std::string::npos, err.str().find(GetParam().message)) << err.str();
  EXPECT_EQ("", out.str());
}

// A program file packed with one platform, then cut `cut` bytes short.
fs::path CutProgram(const fs::path& folder, size_t cut) {
  packtest::WriteDriverTree(folder / "x64", 3, 2000);
  packtest::WriteFile(folder / "image.exe", "MZ" + std::string(100, 'i'));
  std::ostringstream ignored;
  const fs::path program = folder / "program.exe";
  PackToolMain({"pack", "--program", (folder / "image.exe").string(), "--output", program.string(),
                "--version", "8.11", "--platform", "Windows x64=" + (folder / "x64").string()},
               ignored, ignored);
  fs::resize_file(program, fs::file_size(program) - cut);
  return program;
}

const ListCase kListCases[] = {
    {"PlainImage",
     [](const fs::path& t) {
       packtest::WriteFile(t / "image.exe", "MZ" + std::string(5000, 'x'));
       return std::vector<std::string>{"list", (t / "image.exe").string()};
     },
     kExitRefused, "carries no readable payload container (no container trailer"},
    {"TrailerCutOff",
     [](const fs::path& t) {
       return std::vector<std::string>{"list", CutProgram(t, 150).string()};
     },
     kExitRefused, "carries no readable payload container"},
    {"MissingFile",
     [](const fs::path& t) {
       return std::vector<std::string>{"list", (t / "none.exe").string()};
     },
     kExitRefused, "carries no readable payload container (the file cannot be read"},
    {"NoProgramGiven", [](const fs::path&) { return std::vector<std::string>{"list"}; }, kExitUsage,
     "usage: kestrava-pack"},
    {"UnknownCommand",
     [](const fs::path&) {
       return std::vector<std::string>{"unpack", "x"};
     },
     kExitUsage, "usage: kestrava-pack"},
};

INSTANTIATE_TEST_SUITE_P(Rows, ListRefusal, ::testing::ValuesIn(kListCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace kestrava::pack
