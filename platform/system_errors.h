// Last-error codes that more than one service reports.
#pragma once

#include <cstdint>

namespace kestrava {

enum : uint32_t {
  kErrorFileNotFound = 2,       // ERROR_FILE_NOT_FOUND
  kErrorPathNotFound = 3,       // ERROR_PATH_NOT_FOUND
  kErrorAccessDenied = 5,       // ERROR_ACCESS_DENIED
  kErrorSharingViolation = 32,  // ERROR_SHARING_VIOLATION
  kErrorFileExists = 80,        // ERROR_FILE_EXISTS
};

}  // namespace kestrava
