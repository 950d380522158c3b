// Last-error codes that more than one service reports.
#pragma once

#include <cstdint>

namespace kestrava {

enum : uint32_t {
  kErrorFileNotFound = 2,  // ERROR_FILE_NOT_FOUND
};

}  // namespace kestrava
