#include "payload/payload_extraction.h"

#include <algorithm>
#include <array>

#include "payload/folder_tree.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

// A platform name becomes a folder name: it must not reach anywhere else.
bool IsPlainFolderName(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos) return false;
  return name.find_first_not_of(". ") != std::string::npos;
}

}  // namespace

PayloadExtraction::PayloadExtraction(Files& files, SystemInfo& system, Process& process,
                                     FileSecurity& security, WString workingFolder)
    : files_(files),
      system_(system),
      process_(process),
      security_(security),
      workingFolder_(std::move(workingFolder)),
      workingFolderAnsi_(system.WideToAnsi(workingFolder_)),
      extractor_(files, system, process) {}

int PayloadExtraction::ExtractPayload() {
  const WString& folder = workingFolder_;
  // The per-record paths are 8-bit text: a folder name the code page cannot hold would land
  // somewhere else.
  if (folder.empty() || system_.AnsiToWide(workingFolderAnsi_) != folder) {
    return kPayloadUnreadable;
  }
  // The rights come first: from then on no one but the administrators and the system can put
  // anything into the folder while it is emptied and filled.
  secured_ = SecureWorkingFolder(files_, security_, folder);
  if (!secured_.Ready()) return kPayloadUnreadable;
  // The support log stays when it is the program's own: it tells of earlier runs, and the
  // dialog may be writing it now.
  const WString kept = secured_.contentIsOwn ? WString(kSupportLogName) : WString();
  EmptyFolderKeeping(files_, folder, kept);
  // Nothing that an earlier owner left may be taken for part of the payload.
  if (!HoldsNothingBut(files_, folder, kept)) return kPayloadUnreadable;
  return WalkPayloadContainer(files_, process_.ProgramFilePath(),
                              [this](FileHandle& program, const PayloadRecord& record) {
                                return ExtractRecord(program, record);
                              });
}

bool PayloadExtraction::ExtractRecord(FileHandle& program, const PayloadRecord& record) {
  if (!IsPlainFolderName(record.platformName)) return false;
  const std::string platformFolder = workingFolderAnsi_ + record.platformName;
  const std::string archiveFile = platformFolder + ".zip";
  if (archiveFile.size() >= kPathField) return false;

  if (SaveRecordData(program, record.dataSize, archiveFile) != 1) return false;
  const WString widePlatformFolder = system_.AnsiToWide(platformFolder);
  if (!CreateFolderPath(files_, widePlatformFolder) &&
      !CreateFolderPath(files_, widePlatformFolder)) {
    return false;
  }
  if (extractor_.Extract(archiveFile, platformFolder) == 0) return false;
  files_.RemoveFile(system_.AnsiToWide(archiveFile));
  return true;
}

int PayloadExtraction::SaveRecordData(FileHandle& program, uint32_t size, const std::string& path) {
  std::unique_ptr<FileHandle> out = files_.Create(system_.AnsiToWide(path), CreateMode::kTruncate);
  if (!out) return -1;
  std::array<char, kCopyPiece> piece;
  uint64_t remaining = size;
  while (remaining > 0) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, piece.size()));
    if (!ReadExactly(program, piece.data(), want)) return -1;
    if (out->Write(piece.data(), want) != static_cast<int64_t>(want)) return -1;
    remaining -= want;
  }
  return 1;
}

void PayloadWorker(PayloadExtraction& extraction, std::atomic<bool>& payloadExtracted) {
  payloadExtracted = extraction.ExtractPayload() == kPayloadOk;
  if (!payloadExtracted) payloadExtracted = extraction.ExtractPayload() == kPayloadOk;
}

}  // namespace kestrava
