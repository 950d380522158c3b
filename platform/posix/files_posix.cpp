#include "platform/posix/files_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrava {

namespace {

class PosixFileHandle final : public FileHandle {
 public:
  explicit PosixFileHandle(int fd) : fd_(fd) {}
  ~PosixFileHandle() override { close(fd_); }
  PosixFileHandle(const PosixFileHandle&) = delete;
  PosixFileHandle& operator=(const PosixFileHandle&) = delete;

  int64_t Read(void* buffer, size_t size) override {
    ssize_t got;
    do {
      got = read(fd_, buffer, size);
    } while (got < 0 && errno == EINTR);
    return got;
  }

  int64_t Write(const void* data, size_t size) override {
    ssize_t written;
    do {
      written = write(fd_, data, size);
    } while (written < 0 && errno == EINTR);
    return written;
  }

  bool Seek(int64_t offset, SeekOrigin origin) override {
    const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                       : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                        : SEEK_END;
    return lseek(fd_, static_cast<off_t>(offset), whence) >= 0;
  }

  int64_t Tell() override { return lseek(fd_, 0, SEEK_CUR); }

  std::optional<uint64_t> Size() override {
    struct stat info {};
    if (fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
  }

  bool Flush() override { return fsync(fd_) == 0; }

 private:
  int fd_;
};

}  // namespace

PosixFiles::PosixFiles(std::string root) : root_(std::move(root)) {}

std::string PosixFiles::HostPath(const WString& path) const {
  if (path.size() < 2 || path[1] != u':') return std::string();
  WChar drive = path[0];
  if (drive >= u'a' && drive <= u'z') drive = static_cast<WChar>(drive - 32);
  std::string out = root_ + "/" + static_cast<char>(drive);
  for (char c : Utf16ToUtf8(path.substr(2))) out.push_back(c == '\\' ? '/' : c);
  return out;
}

std::unique_ptr<FileHandle> PosixFiles::OpenHostFile(const std::string& hostPath) {
  const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFileHandle>(fd);
}

std::unique_ptr<FileHandle> PosixFiles::OpenForRead(const WString& path) {
  const std::string host = HostPath(path);
  return host.empty() ? nullptr : OpenHostFile(host);
}

std::unique_ptr<FileHandle> PosixFiles::Create(const WString& path, CreateMode mode) {
  const std::string host = HostPath(path);
  if (host.empty()) return nullptr;
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC |
                    (mode == CreateMode::kNew      ? O_EXCL
                     : mode == CreateMode::kAppend ? O_APPEND
                                                   : O_TRUNC);
  const int fd = open(host.c_str(), flags, 0644);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixFileHandle>(fd);
}

std::optional<FileAttributes> PosixFiles::Attributes(const WString& path) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (host.empty() || lstat(host.c_str(), &info) != 0) return std::nullopt;
  FileAttributes out;
  out.isLink = S_ISLNK(info.st_mode);
  if (out.isLink) {
    struct stat target {};
    out.isFolder = stat(host.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
  } else {
    out.isFolder = S_ISDIR(info.st_mode);
  }
  out.readOnly = !out.isFolder && (info.st_mode & S_IWUSR) == 0;
  return out;
}

bool PosixFiles::CreateFolder(const WString& path) {
  const std::string host = HostPath(path);
  return !host.empty() && mkdir(host.c_str(), 0755) == 0;
}

bool PosixFiles::RemoveFolder(const WString& path) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (host.empty() || lstat(host.c_str(), &info) != 0) return false;
  if (S_ISLNK(info.st_mode)) return unlink(host.c_str()) == 0;  // the link, not its target
  return rmdir(host.c_str()) == 0;
}

bool PosixFiles::RemoveFile(const WString& path) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (host.empty() || lstat(host.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) return false;  // read-only
  return unlink(host.c_str()) == 0;
}

bool PosixFiles::SetNormalAttributes(const WString& path) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (host.empty() || lstat(host.c_str(), &info) != 0) return false;
  if (S_ISLNK(info.st_mode)) return true;
  return chmod(host.c_str(), info.st_mode | S_IWUSR) == 0;
}

bool PosixFiles::List(const WString& pattern, std::vector<FolderEntry>& out) {
  const size_t slash = pattern.find_last_of(u"\\/");
  if (slash == WString::npos) return false;
  const WString wildcard = pattern.substr(slash + 1);
  if (wildcard != u"*.*" && wildcard != u"*") return false;
  const WString folder = pattern.substr(0, slash);
  const std::string host = HostPath(folder);
  DIR* dir = host.empty() ? nullptr : opendir(host.c_str());
  if (!dir) return false;
  while (const dirent* entry = readdir(dir)) {
    const WString name = Utf8ToUtf16(entry->d_name);
    FileAttributes attributes;
    if (name == u"." || name == u"..") {
      attributes.isFolder = true;
    } else if (auto found = Attributes(folder + u"\\" + name)) {
      attributes = *found;
    }
    out.push_back({name, attributes});
  }
  closedir(dir);
  return true;
}

bool PosixFiles::Copy(const WString& from, const WString& to, bool replace, uint32_t* error) {
  const bool copied = CopyContent(from, to, replace);
  if (error) *error = copied ? 0 : static_cast<uint32_t>(errno);
  return copied;
}

bool PosixFiles::Replace(const WString& from, const WString& to, uint32_t* error) {
  const std::string source = HostPath(from);
  const std::string target = HostPath(to);
  struct stat info {};
  struct stat existing {};
  int code = 0;
  if (source.empty() || target.empty() || lstat(source.c_str(), &info) != 0) {
    code = ENOENT;
  } else if (S_ISDIR(info.st_mode)) {
    code = EACCES;
  } else if (lstat(target.c_str(), &existing) == 0 &&
             (S_ISDIR(existing.st_mode) ||
              (!S_ISLNK(existing.st_mode) && (existing.st_mode & S_IWUSR) == 0))) {
    code = EACCES;  // a folder, or a file Windows would call read-only
  } else if (rename(source.c_str(), target.c_str()) != 0) {
    code = errno;
  }
  if (error) *error = static_cast<uint32_t>(code);
  return code == 0;
}

bool PosixFiles::CopyContent(const WString& from, const WString& to, bool replace) {
  std::unique_ptr<FileHandle> in = OpenForRead(from);
  if (!in) return false;
  std::unique_ptr<FileHandle> out = Create(to, replace ? CreateMode::kTruncate : CreateMode::kNew);
  if (!out) return false;
  char buffer[65536];
  for (;;) {
    const int64_t got = in->Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) return true;
    if (out->Write(buffer, static_cast<size_t>(got)) != got) return false;
  }
}

}  // namespace kestrava
