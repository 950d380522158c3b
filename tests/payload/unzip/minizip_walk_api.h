// minizip as a backend of the archive walk (Linux builds only: there is no minizip for MinGW).
#pragma once

#include <minizip/unzip.h>

namespace kestrava::ziptest {

struct MinizipApi {
  using FileFuncs = ::zlib_filefunc64_def;
  using GlobalInfo = ::unz_global_info64;
  using FileInfo = ::unz_file_info64;
  static constexpr auto Open = ::unzOpen2_64;
  static constexpr auto Close = ::unzClose;
  static constexpr auto GlobalInfo64 = ::unzGetGlobalInfo64;
  static constexpr auto GlobalComment = ::unzGetGlobalComment;
  static constexpr auto First = ::unzGoToFirstFile;
  static constexpr auto Next = ::unzGoToNextFile;
  static constexpr auto Info = ::unzGetCurrentFileInfo64;
  static constexpr auto OpenEntry = ::unzOpenCurrentFile;
  static constexpr auto Read = ::unzReadCurrentFile;
  static constexpr auto CloseEntry = ::unzCloseCurrentFile;
  static constexpr int kOk = UNZ_OK;
};

}  // namespace kestrava::ziptest
