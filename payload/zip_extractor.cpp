#include "payload/zip_extractor.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "payload/folder_tree.h"
#include "payload/unzip/unzip_api.h"
#include "payload/zip_file_io.h"

namespace kestrava {

namespace {

constexpr size_t kNameField = 260;
// Deflate cannot expand data more than about 1032 to 1; anything claiming more is damaged.
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr uint64_t kRatioSlack = 1024;

std::string WithBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// The size an entry may honestly claim for what it occupies in an archive of `archiveSize`.
bool PlausibleSize(const zipapi::unz_file_info64& info, uint64_t archiveSize) {
  const uint64_t stored = std::min<uint64_t>(info.compressed_size, archiveSize);
  if (info.uncompressed_size > stored * kMaxDeflateRatio + kRatioSlack) return false;
  return info.uncompressed_size <= std::numeric_limits<unsigned int>::max() &&
         info.uncompressed_size <= std::numeric_limits<size_t>::max();
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
  const std::string path = WithBackslashes(name);
  if (path.empty() || path[0] == '\\') return false;      // absolute, or a network path
  if (path.find(':') != std::string::npos) return false;  // a drive letter or a stream name
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    // Windows drops trailing dots and spaces of a name, so ". ." and "..." lead up as well.
    const std::string segment = path.substr(start, end - start);
    if (segment.find("..") != std::string::npos &&
        segment.find_first_not_of(". ") == std::string::npos) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

ZipExtractor::ZipExtractor(Files& files, SystemInfo& system, Process& process)
    : files_(files), system_(system), process_(process) {}

ZipExtractor::~ZipExtractor() {
  CloseArchive();
}

void ZipExtractor::CloseArchive() {
  if (archive_) zipapi::unzClose(static_cast<zipapi::unzFile>(archive_));
  archive_ = nullptr;
}

int64_t ZipExtractor::WriteExtractedFile(const std::string& path, const char* bytes,
                                         uint64_t size) {
  const size_t last = path.rfind('\\');
  if (last == std::string::npos) return -1;
  const WString wide = system_.AnsiToWide(path);
  if (!EnsureFoldersUpToLastBackslash(files_, wide)) return -1;
  std::unique_ptr<FileHandle> out = files_.Create(wide, CreateMode::kNew);
  if (!out) return -1;
  return out->Write(bytes, static_cast<size_t>(size));
}

int ZipExtractor::Extract(const std::string& archivePath, const std::string& destination) {
  if (archivePath.empty() || destination.empty()) return 0;
  if (!files_.Attributes(system_.AnsiToWide(destination))) return 0;

  CloseArchive();
  ZipFileIo io{files_, system_};
  zipapi::zlib_filefunc64_def functions = MakeZipFileFunctions(io);
  archive_ = zipapi::unzOpen2_64(archivePath.c_str(), &functions);
  if (!archive_) return 0;
  auto archive = static_cast<zipapi::unzFile>(archive_);
  const uint64_t archiveSize = io.openedSize;

  std::string folder = destination;
  if (folder.back() != '\\') folder += '\\';

  zipapi::unz_global_info64 global{};
  if (zipapi::unzGetGlobalInfo64(archive, &global) != zipapi::kOk) {
    lastError = "获取全局zip信息失败!";
    CloseArchive();
    return 0;
  }
  if (global.size_comment > 0) {
    std::string comment(global.size_comment + 1, '\0');
    if (zipapi::unzGetGlobalComment(archive, comment.data(), global.size_comment + 1) >= 0) {
      globalComment = comment.c_str();
    }
  }
  if (zipapi::unzGoToFirstFile(archive) != zipapi::kOk) {
    lastError = "无法获取zip包内文件信息zip包可能是null的!";
    CloseArchive();
    return 0;
  }

  bool failed = false;
  do {
    char name[kNameField] = {};
    zipapi::unz_file_info64 info{};
    // One byte short of the field, so the name always stays terminated; a name that does not
    // fit is not a path Windows could take anyway.
    if (zipapi::unzGetCurrentFileInfo64(archive, &info, name, kNameField - 1, nullptr, 0, nullptr,
                                        0) != zipapi::kOk ||
        info.size_filename >= kNameField - 1) {
      continue;
    }
    if (!IsSafeEntryName(name)) {
      lastError = std::string("entry outside the destination: ") + name;
      failed = true;
      break;
    }
    const std::string fullPath = folder + WithBackslashes(name);
    const size_t nameLength = std::char_traits<char>::length(name);

    if (nameLength > 0 && name[nameLength - 1] == '/') {
      EnsureFoldersUpToLastBackslash(files_, system_.AnsiToWide(fullPath));
      process_.StandardOutput("Zip Create Folder: \t " + fullPath + " \n");
      continue;
    }
    if (zipapi::unzOpenCurrentFile(archive) != zipapi::kOk) continue;
    bool written = false;
    if (PlausibleSize(info, archiveSize)) {
      const auto size = static_cast<size_t>(info.uncompressed_size);
      std::unique_ptr<char[]> buffer(new (std::nothrow) char[size == 0 ? 1 : size]());
      if (buffer) {
        const int got =
            zipapi::unzReadCurrentFile(archive, buffer.get(), static_cast<unsigned int>(size));
        if (got >= 0 && static_cast<size_t>(got) == size) {
          written = WriteExtractedFile(fullPath, buffer.get(), size) >= 0;
        }
      }
    }
    if (zipapi::unzCloseCurrentFile(archive) == zipapi::kCrcError) {
      // The bytes are not what was packed: never leave them behind as if good.
      if (written) files_.RemoveFile(system_.AnsiToWide(fullPath));
      lastError = "CRC mismatch: " + fullPath;
      failed = true;
      break;
    }
    process_.StandardOutput("Zip Create File: \t " + fullPath + " \n");
  } while (zipapi::unzGoToNextFile(archive) == zipapi::kOk);

  CloseArchive();
  if (failed) return 0;
  return static_cast<int>(std::min<uint64_t>(global.number_entry, std::numeric_limits<int>::max()));
}

}  // namespace kestrava
