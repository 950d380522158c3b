#include "app/support_log.h"

#include <string>

#include "payload/folder_tree.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

// The newer half is written here first: beside the log, on its volume and with the rights the
// folder gives the log.
constexpr WStringView kNewLogSuffix = u".new";
// More than this is no log of the program's: it is not read into memory to be halved.
constexpr uint64_t kReadLimitFactor = 4;

}  // namespace

SupportLog::SupportLog(Files& files, Clock& clock, const WString& workingFolder)
    : SupportLog(files, clock,
                 workingFolder.empty() ? WString() : workingFolder + WString(kSupportLogName),
                 kSupportLogLimit) {}

SupportLog::SupportLog(Files& files, Clock& clock, WString path, uint64_t limit)
    : files_(files), clock_(clock), path_(std::move(path)), limit_(limit) {}

void SupportLog::Line(const WString& text) {
  if (path_.empty()) return;
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
    log.reset();  // the log is put in its place closed
    if (!DropOlderHalf()) return;
    log = files_.Create(path_, CreateMode::kAppend);
    if (!log) return;
  }
  log->Write(line.data(), line.size());
}

bool SupportLog::DropOlderHalf() {
  std::string content;
  if (!ReadWholeFile(files_, path_, kReadLimitFactor * limit_, content)) return false;
  const size_t middle = content.size() / 2;
  const size_t start = content.find('\n', middle);
  const std::string_view kept =
      start == std::string::npos ? std::string_view() : std::string_view(content).substr(start + 1);
  return ReplaceFileContent(files_, path_, path_ + WString(kNewLogSuffix), kept);
}

}  // namespace kestrava
