// Last-error codes that more than one service reports.
#pragma once

#include <cstdint>

namespace kestrava {

enum : uint32_t {
  kErrorFileNotFound = 2,                // ERROR_FILE_NOT_FOUND
  kErrorPathNotFound = 3,                // ERROR_PATH_NOT_FOUND
  kErrorAccessDenied = 5,                // ERROR_ACCESS_DENIED
  kErrorNotSameDevice = 17,              // ERROR_NOT_SAME_DEVICE
  kErrorSharingViolation = 32,           // ERROR_SHARING_VIOLATION
  kErrorNotSupported = 50,               // ERROR_NOT_SUPPORTED
  kErrorFileExists = 80,                 // ERROR_FILE_EXISTS
  kErrorInvalidParameter = 87,           // ERROR_INVALID_PARAMETER
  kErrorAlreadyExists = 183,             // ERROR_ALREADY_EXISTS
  kErrorUnknownPort = 1796,              // ERROR_UNKNOWN_PORT
  kErrorInvalidOwner = 1307,             // ERROR_INVALID_OWNER
  kErrorPrivilegeNotHeld = 1314,         // ERROR_PRIVILEGE_NOT_HELD
  kErrorReparsePointEncountered = 4395,  // ERROR_REPARSE_POINT_ENCOUNTERED
};

}  // namespace kestrava
