#include "tools/pack/folder_zip.h"

#include <minizip/zip.h>

#include <fstream>
#include <vector>

#include "tools/pack/memory_zip_stream.h"

namespace kestrava::pack {

namespace {

constexpr uLong kFileAttributes = 0x20;    // FILE_ATTRIBUTE_ARCHIVE
constexpr uLong kFolderAttributes = 0x10;  // FILE_ATTRIBUTE_DIRECTORY
constexpr size_t kReadPiece = 1 << 16;

// Copies the host file into the entry minizip has open.
bool WriteFileData(zipFile zip, const std::filesystem::path& source, std::string& error) {
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    error = "cannot open " + source.string();
    return false;
  }
  std::vector<char> piece(kReadPiece);
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const auto got = static_cast<unsigned>(in.gcount());
    if (got > 0 && zipWriteInFileInZip(zip, piece.data(), got) != ZIP_OK) {
      error = "cannot compress " + source.string();
      return false;
    }
  }
  if (!in.eof()) {
    error = "cannot read " + source.string();
    return false;
  }
  return true;
}

bool AddEntry(zipFile zip, const ArchiveEntry& entry, std::string& error) {
  const bool folder = entry.source.empty();
  zip_fileinfo info{};
  info.tmz_date.tm_year = 1980;  // the earliest date a ZIP entry can hold
  info.tmz_date.tm_mday = 1;
  info.external_fa = folder ? kFolderAttributes : kFileAttributes;
  const int method = folder ? 0 : Z_DEFLATED;
  const int level = folder ? 0 : Z_BEST_COMPRESSION;
  if (zipOpenNewFileInZip3_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              method, level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                              nullptr, 0, 0) != ZIP_OK) {
    error = "cannot add " + entry.name + " to the archive";
    return false;
  }
  const bool written = folder || WriteFileData(zip, entry.source, error);
  if (zipCloseFileInZip(zip) != ZIP_OK && written) {
    error = "cannot finish " + entry.name + " in the archive";
    return false;
  }
  return written;
}

}  // namespace

bool ZipEntries(const std::vector<ArchiveEntry>& entries, std::string& archive,
                std::string& error) {
  MemoryZipStream stream;
  zlib_filefunc64_def functions = MemoryZipFunctions(stream);
  zipFile zip = zipOpen2_64("memory", APPEND_STATUS_CREATE, nullptr, &functions);
  if (!zip) {
    error = "cannot start an archive";
    return false;
  }
  bool ok = true;
  for (const ArchiveEntry& entry : entries) {
    ok = AddEntry(zip, entry, error);
    if (!ok) break;
  }
  if (zipClose(zip, nullptr) != ZIP_OK && ok) {
    error = "cannot finish the archive";
    ok = false;
  }
  if (ok) archive = std::move(stream.bytes);
  return ok;
}

bool ZipFolder(const std::filesystem::path& folder, std::string& archive, std::string& error) {
  std::vector<ArchiveEntry> entries;
  return ListArchiveEntries(folder, entries, error) && ZipEntries(entries, archive, error);
}

}  // namespace kestrava::pack
