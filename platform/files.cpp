#include "platform/files.h"

namespace kestrava {

bool ReadExactly(FileHandle& file, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const int64_t got = file.Read(static_cast<char*>(buffer) + done, size - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool ReadWholeFile(Files& files, const WString& path, uint64_t limit, std::string& out) {
  std::unique_ptr<FileHandle> in = files.OpenForRead(path);
  if (!in) return false;
  std::string content;
  char buffer[16384];
  for (;;) {
    const int64_t got = in->Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) break;
    content.append(buffer, static_cast<size_t>(got));
    if (content.size() > limit) return false;
  }
  out = std::move(content);
  return true;
}

bool ReplaceFileContent(Files& files, const WString& path, const WString& temporary,
                        std::string_view content) {
  std::unique_ptr<FileHandle> out = files.Create(temporary, CreateMode::kTruncate);
  if (!out) return false;
  size_t done = 0;
  while (done < content.size()) {
    const int64_t written = out->Write(content.data() + done, content.size() - done);
    if (written <= 0) break;
    done += static_cast<size_t>(written);
  }
  const bool onDisk = done == content.size() && out->Flush();
  out.reset();
  if (!onDisk || !files.Replace(temporary, path)) {
    files.RemoveFile(temporary);
    return false;
  }
  return true;
}

}  // namespace kestrava
