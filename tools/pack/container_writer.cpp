#include "tools/pack/container_writer.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "payload/container_walk.h"
#include "payload/payload_trailer.h"

namespace kestrava::pack {

namespace {

constexpr uint64_t kMaxProgramFile = std::numeric_limits<int32_t>::max();

void AppendInt32(std::string& out, uint64_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

}  // namespace

bool BuildContainer(uint64_t imageSize, const std::string& version,
                    const std::vector<PlatformArchive>& records, std::string& container,
                    std::string& error) {
  if (version.size() > static_cast<size_t>(kMaxVersionLength)) {
    error = "the version text is longer than " + std::to_string(kMaxVersionLength) + " bytes";
    return false;
  }
  if (records.size() + 1 > static_cast<size_t>(kMaxEntryCount)) {
    error = "more records than the program reads";
    return false;
  }
  std::string out;
  AppendInt32(out, version.size());
  out += version;
  for (const PlatformArchive& record : records) {
    const size_t nameLength = record.platformName.size();
    if (nameLength < 1 || nameLength > static_cast<size_t>(kMaxNameLength) ||
        nameLength >= record.archive.size()) {
      error = "platform name \"" + record.platformName + "\" does not fit its record";
      return false;
    }
    if (imageSize + out.size() + record.archive.size() > kMaxProgramFile) {
      error = "the program file would reach 2 GiB";
      return false;
    }
    AppendInt32(out, nameLength);
    AppendInt32(out, record.archive.size());
    out += record.platformName;
    out += record.archive;
  }
  out.append(kTrailerTag, kTrailerTagLength);
  AppendInt32(out, records.size() + 1);
  AppendInt32(out, imageSize);
  for (int i = 0; i < kContainerFillerRepeats; ++i) out += kContainerFiller;
  while ((imageSize + out.size()) % kProgramFileAlignment != 0) out.push_back('\0');
  if (imageSize + out.size() > kMaxProgramFile) {
    error = "the program file would reach 2 GiB";
    return false;
  }
  container = std::move(out);
  return true;
}

bool WritePackedProgram(const std::filesystem::path& image, const std::filesystem::path& output,
                        const std::string& version, const std::vector<PlatformArchive>& records,
                        std::string& error) {
  std::ifstream in(image, std::ios::binary);
  if (!in) {
    error = "cannot open the image " + image.string();
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) {
    error = "the image " + image.string() + " is empty or unreadable";
    return false;
  }
  std::string container;
  if (!BuildContainer(bytes.size(), version, records, container, error)) return false;

  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.write(container.data(), static_cast<std::streamsize>(container.size()));
  out.close();
  if (!out) {
    error = "cannot write " + output.string();
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    return false;
  }
  return true;
}

}  // namespace kestrava::pack
