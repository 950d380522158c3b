// Reading the container of a program file on the build machine back with the program's own
// reader, as the program will read it.
#pragma once

#include <string>
#include <vector>

#include "payload/container_walk.h"

namespace kestrava::pack {

struct ContainerListing {
  int code = kPayloadUnreadable;  // what WalkPayloadContainer returned
  std::string version;
  std::vector<PayloadRecord> records;  // the named records, in file order
};

// Walks the container of the host file at `hostPath`. `code` is kPayloadOk when the file
// carries a well-formed container; the lists are complete only then.
ContainerListing ListContainer(const std::string& hostPath);

// What a failed walk means, for messages.
std::string DescribeWalkResult(int code);

}  // namespace kestrava::pack
