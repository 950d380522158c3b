#include "tools/pack/pack_command.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "payload/container_walk.h"
#include "tools/pack/container_listing.h"
#include "tools/pack/container_writer.h"
#include "tools/pack/folder_zip.h"

namespace kestrava::pack {

namespace fs = std::filesystem;

namespace {

bool IsPlatformName(const std::string& name) {
  return std::find(kPlatformNames.begin(), kPlatformNames.end(), name) != kPlatformNames.end();
}

std::string KnownNames() {
  std::string out;
  for (std::string_view name : kPlatformNames) {
    out += (out.empty() ? "\"" : ", \"") + std::string(name) + "\"";
  }
  return out;
}

// Whether the program file at `path` reads back with exactly the version and records written.
bool ReadsBack(const fs::path& path, const std::string& version,
               const std::vector<PlatformArchive>& records, std::string& error) {
  const ContainerListing listing = ListContainer(path.string());
  bool same = listing.code == kPayloadOk && listing.version == version &&
              listing.records.size() == records.size();
  for (size_t i = 0; same && i < records.size(); ++i) {
    same = listing.records[i].platformName == records[i].platformName &&
           listing.records[i].dataSize == records[i].archive.size();
  }
  if (!same) error = "the written program file does not read back as packed";
  return same;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  std::error_code failure;
  return fs::equivalent(a, b, failure);
}

}  // namespace

bool CheckPackRequest(const PackRequest& request, std::string& error) {
  if (request.program.empty() || request.output.empty()) {
    error = "both --program and --output are needed";
    return false;
  }
  if (request.version.empty() || request.version.size() > static_cast<size_t>(kMaxVersionLength)) {
    error = "the version text must be 1 to " + std::to_string(kMaxVersionLength) +
            " bytes long; \"" + request.version + "\" has " +
            std::to_string(request.version.size());
    return false;
  }
  if (request.platforms.empty()) {
    error = "no --platform given";
    return false;
  }
  std::set<std::string> names;
  for (const PlatformFolder& platform : request.platforms) {
    if (!IsPlatformName(platform.name)) {
      error = "unknown platform name \"" + platform.name + "\"; the program knows " + KnownNames();
      return false;
    }
    if (!names.insert(platform.name).second) {
      error = "platform \"" + platform.name + "\" is given twice";
      return false;
    }
  }
  return true;
}

bool Pack(const PackRequest& request, std::string& error) {
  if (!CheckPackRequest(request, error)) return false;
  std::error_code failure;
  for (const PlatformFolder& platform : request.platforms) {
    if (!fs::is_directory(platform.folder, failure)) {
      error = "the folder of \"" + platform.name + "\" does not exist: " + platform.folder.string();
      return false;
    }
  }
  if (!fs::is_regular_file(request.program, failure)) {
    error = "the image does not exist: " + request.program.string();
    return false;
  }
  if (SamePath(request.program, request.output)) {
    error = "the output would overwrite the image " + request.program.string();
    return false;
  }
  if (ListContainer(request.program.string()).code == kPayloadOk) {
    error = request.program.string() + " carries a container already; pack the linker's image";
    return false;
  }

  std::vector<PlatformArchive> records;
  for (const PlatformFolder& platform : request.platforms) {
    PlatformArchive record{platform.name, std::string()};
    if (!ZipFolder(platform.folder, record.archive, error)) return false;
    records.push_back(std::move(record));
  }

  fs::path partial = request.output;
  partial += ".partial";
  if (!WritePackedProgram(request.program, partial, request.version, records, error) ||
      !ReadsBack(partial, request.version, records, error)) {
    fs::remove(partial, failure);
    return false;
  }
  // The program file keeps the image's permissions (the linker's output is executable).
  fs::permissions(partial, fs::status(request.program, failure).permissions(), failure);
  fs::rename(partial, request.output, failure);
  if (failure) {
    error = "cannot move the program file to " + request.output.string() + ": " + failure.message();
    fs::remove(partial, failure);
    return false;
  }
  return true;
}

}  // namespace kestrava::pack
