#include "app/support_log.h"

#include <string>

#include "payload/folder_tree.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

std::string ReadAll(Files& files, const WString& path) {
  std::string content;
  std::unique_ptr<FileHandle> in = files.OpenForRead(path);
  if (!in) return content;
  char buffer[16384];
  for (int64_t got; (got = in->Read(buffer, sizeof buffer)) > 0;) {
    content.append(buffer, static_cast<size_t>(got));
  }
  return content;
}

}  // namespace

SupportLog::SupportLog(Files& files, Clock& clock)
    : SupportLog(files, clock, WString(kWorkingFolder) + WString(kSupportLogName),
                 kSupportLogLimit) {}

SupportLog::SupportLog(Files& files, Clock& clock, WString path, uint64_t limit)
    : files_(files), clock_(clock), path_(std::move(path)), limit_(limit) {}

void SupportLog::Line(const WString& text) {
  const LocalTime now = clock_.Now();
  const std::string line =
      Utf16ToUtf8(FormatText(u"%d-%02d-%02d %02d:%02d:%02d ",
                             {now.year, now.month, now.day, now.hour, now.minute, now.second}) +
                  text) +
      "\r\n";
  std::unique_ptr<FileHandle> log = files_.Create(path_, CreateMode::kAppend);
  if (!log && EnsureFoldersUpToLastBackslash(files_, path_)) {
    // The first line on this machine, or the working folder was taken away.
    log = files_.Create(path_, CreateMode::kAppend);
  }
  if (!log) return;
  const std::optional<uint64_t> size = log->Size();
  if (size && *size + line.size() > limit_) {
    log.reset();
    DropOlderHalf();
    log = files_.Create(path_, CreateMode::kAppend);
    if (!log) return;
  }
  log->Write(line.data(), line.size());
}

void SupportLog::DropOlderHalf() {
  const std::string content = ReadAll(files_, path_);
  const size_t middle = content.size() / 2;
  const size_t start = content.find('\n', middle);
  const std::string kept = start == std::string::npos ? std::string() : content.substr(start + 1);
  std::unique_ptr<FileHandle> out = files_.Create(path_, CreateMode::kTruncate);
  if (out) out->Write(kept.data(), kept.size());
}

}  // namespace kestrava
