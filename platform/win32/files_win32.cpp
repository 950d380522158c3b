#include "platform/win32/files_win32.h"

#include <algorithm>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::ScopedFile;
using win32::Wide;

class Win32FileHandle final : public FileHandle {
 public:
  explicit Win32FileHandle(ScopedFile file) : file_(std::move(file)) {}

  int64_t Read(void* buffer, size_t size) override {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0x40000000));
    DWORD got = 0;
    if (!ReadFile(file_.Get(), buffer, chunk, &got, nullptr)) return -1;
    return got;
  }

  int64_t Write(const void* data, size_t size) override {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 0x40000000));
    DWORD written = 0;
    if (!WriteFile(file_.Get(), data, chunk, &written, nullptr)) return -1;
    return written;
  }

  bool Seek(int64_t offset, SeekOrigin origin) override {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    const DWORD method = origin == SeekOrigin::kBegin     ? FILE_BEGIN
                         : origin == SeekOrigin::kCurrent ? FILE_CURRENT
                                                          : FILE_END;
    return SetFilePointerEx(file_.Get(), distance, nullptr, method) != 0;
  }

  int64_t Tell() override {
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(file_.Get(), zero, &position, FILE_CURRENT)) return -1;
    return position.QuadPart;
  }

  std::optional<uint64_t> Size() override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file_.Get(), &info)) return std::nullopt;
    return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  }

  bool Flush() override { return FlushFileBuffers(file_.Get()) != 0; }

 private:
  ScopedFile file_;
};

FileAttributes FromWin32(DWORD attributes) {
  FileAttributes out;
  out.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out.isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  out.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return out;
}

}  // namespace

std::unique_ptr<FileHandle> Win32Files::OpenForRead(const WString& path) {
  ScopedFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32FileHandle>(std::move(file));
}

std::unique_ptr<FileHandle> Win32Files::Create(const WString& path, CreateMode mode) {
  DWORD disposition = CREATE_ALWAYS;
  // Appending is asked for as such: every write then lands at the end, also when another
  // process appends to the same file meanwhile.
  DWORD access = GENERIC_WRITE;
  DWORD sharing = FILE_SHARE_READ;
  if (mode == CreateMode::kNew) disposition = CREATE_NEW;
  if (mode == CreateMode::kAppend) {
    disposition = OPEN_ALWAYS;
    access = FILE_APPEND_DATA | SYNCHRONIZE;
    sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
  ScopedFile file(CreateFileW(Wide(path), access, sharing, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32FileHandle>(std::move(file));
}

std::optional<FileAttributes> Win32Files::Attributes(const WString& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return FromWin32(attributes);
}

bool Win32Files::CreateFolder(const WString& path) {
  return CreateDirectoryW(Wide(path), nullptr) != 0;
}

bool Win32Files::RemoveFolder(const WString& path) {
  return RemoveDirectoryW(Wide(path)) != 0;
}

bool Win32Files::RemoveFile(const WString& path) {
  return DeleteFileW(Wide(path)) != 0;
}

bool Win32Files::SetNormalAttributes(const WString& path) {
  return SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32Files::List(const WString& pattern, std::vector<FolderEntry>& out) {
  WIN32_FIND_DATAW found{};
  win32::ScopedFind find(FindFirstFileW(Wide(pattern), &found));
  if (!find) return false;
  do {
    out.push_back({win32::FromWide(found.cFileName), FromWin32(found.dwFileAttributes)});
  } while (FindNextFileW(find.Get(), &found));
  return true;
}

bool Win32Files::Copy(const WString& from, const WString& to, bool replace, uint32_t* error) {
  const bool copied = CopyFileW(Wide(from), Wide(to), replace ? FALSE : TRUE) != 0;
  if (error) *error = copied ? 0 : GetLastError();
  return copied;
}

bool Win32Files::Replace(const WString& from, const WString& to, uint32_t* error) {
  // MoveFileExW moves a folder too, and Wine's replaces a read-only file, which Windows
  // refuses: the contract is Windows' for files.
  const DWORD source = GetFileAttributesW(Wide(from));
  const DWORD target = GetFileAttributesW(Wide(to));
  if ((source != INVALID_FILE_ATTRIBUTES && (source & FILE_ATTRIBUTE_DIRECTORY) != 0) ||
      (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY) != 0 &&
       (target & FILE_ATTRIBUTE_REPARSE_POINT) == 0)) {
    if (error) *error = ERROR_ACCESS_DENIED;
    return false;
  }
  const bool moved =
      MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (error) *error = moved ? 0 : GetLastError();
  return moved;
}

}  // namespace kestrava
