#include "tools/pack/container_listing.h"

#include "tools/pack/host_program_files.h"

namespace kestrava::pack {

ContainerListing ListContainer(const std::string& hostPath) {
  HostProgramFiles files;
  ContainerListing listing;
  listing.code = WalkPayloadContainer(
      files, Utf8ToUtf16(hostPath),
      [&listing](FileHandle&, const PayloadRecord& record) {
        listing.records.push_back(record);
        return true;
      },
      &listing.version);
  return listing;
}

std::string DescribeWalkResult(int code) {
  switch (code) {
    case kPayloadOk:
      return "a well-formed container";
    case kPayloadUnreadable:
      return "the file cannot be read or its entry count is out of range";
    case kPayloadBroken:
      return "no container trailer, or a field cannot be read";
    case kPayloadBadRecord:
      return "a malformed record";
    default:
      return "result " + std::to_string(code);
  }
}

}  // namespace kestrava::pack
