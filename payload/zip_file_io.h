// The unzip API's file callbacks over the files service, so that archives are read through
// the same service as every other file (and through the fake in tests).
#pragma once

#include "payload/unzip/unzip_api.h"
#include "platform/files.h"
#include "platform/system_info.h"

namespace kestrava {

// What the callbacks need; the path handed to the open callback is 8-bit text (const char*).
struct ZipFileIo {
  Files& files;
  SystemInfo& system;
  uint64_t openedSize = 0;  // the size of the file the open callback opened last
};

// Callbacks with `io` as their opaque pointer; `io` must outlive the open archive.
zipapi::zlib_filefunc64_def MakeZipFileFunctions(ZipFileIo& io);

}  // namespace kestrava
