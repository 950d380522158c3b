// One name for the ZIP reader on every build: kestrava::zipapi is minizip's unzip API on Linux
// and our own unzip_lite (see unzip_lite.h for why) on Windows, where the build defines
// KESTRAVA_UNZIP_LITE. Link kestrava_unzip and call only zipapi:: names:
//
//   zipapi::zlib_filefunc64_def io = {OpenFn, ReadFn, nullptr, TellFn, SeekFn, CloseFn, ErrorFn,
//                                     &state};
//   zipapi::unzFile zip = zipapi::unzOpen2_64(&source, &io);
//   if (zip == nullptr) return Failure();
//   for (int rc = zipapi::unzGoToFirstFile(zip); rc == zipapi::kOk;
//        rc = zipapi::unzGoToNextFile(zip)) {
//     zipapi::unz_file_info64 info;
//     char name[256];
//     zipapi::unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
//     ...unzOpenCurrentFile, unzReadCurrentFile, unzCloseCurrentFile (kCrcError)...
//   }
//   zipapi::unzClose(zip);
//
// The I/O callbacks take plain types (void*, unsigned long, unsigned long long), so the same
// functions fit both backends. Results are compared with zipapi::kOk etc., never with
// minizip's UNZ_ macros, which do not exist on Windows.
#pragma once

#ifdef KESTRAVA_UNZIP_LITE

#include "payload/unzip/unzip_lite.h"

namespace kestrava::zipapi {
using unzip_lite::kBadZipFile;
using unzip_lite::kCrcError;
using unzip_lite::kEndOfListOfFile;
using unzip_lite::kEof;
using unzip_lite::kErrno;
using unzip_lite::kInternalError;
using unzip_lite::kModeExisting;
using unzip_lite::kModeRead;
using unzip_lite::kOk;
using unzip_lite::kParamError;
using unzip_lite::kSeekCur;
using unzip_lite::kSeekEnd;
using unzip_lite::kSeekSet;
using unzip_lite::tm_unz;
using unzip_lite::unz_file_info64;
using unzip_lite::unz_global_info64;
using unzip_lite::unzClose;
using unzip_lite::unzCloseCurrentFile;
using unzip_lite::unzFile;
using unzip_lite::unzGetCurrentFileInfo64;
using unzip_lite::unzGetGlobalComment;
using unzip_lite::unzGetGlobalInfo64;
using unzip_lite::unzGoToFirstFile;
using unzip_lite::unzGoToNextFile;
using unzip_lite::unzOpen2_64;
using unzip_lite::unzOpenCurrentFile;
using unzip_lite::unzReadCurrentFile;
using unzip_lite::zlib_filefunc64_def;
using unzip_lite::ZPOS64_T;
}  // namespace kestrava::zipapi

#else

#include <minizip/unzip.h>

namespace kestrava::zipapi {
inline constexpr int kOk = UNZ_OK;
inline constexpr int kEndOfListOfFile = UNZ_END_OF_LIST_OF_FILE;
inline constexpr int kErrno = UNZ_ERRNO;
inline constexpr int kEof = UNZ_EOF;
inline constexpr int kParamError = UNZ_PARAMERROR;
inline constexpr int kBadZipFile = UNZ_BADZIPFILE;
inline constexpr int kInternalError = UNZ_INTERNALERROR;
inline constexpr int kCrcError = UNZ_CRCERROR;
inline constexpr int kSeekSet = ZLIB_FILEFUNC_SEEK_SET;
inline constexpr int kSeekCur = ZLIB_FILEFUNC_SEEK_CUR;
inline constexpr int kSeekEnd = ZLIB_FILEFUNC_SEEK_END;
inline constexpr int kModeRead = ZLIB_FILEFUNC_MODE_READ;
inline constexpr int kModeExisting = ZLIB_FILEFUNC_MODE_EXISTING;
using ::tm_unz;
using ::unz_file_info64;
using ::unz_global_info64;
using ::unzClose;
using ::unzCloseCurrentFile;
using ::unzFile;
using ::unzGetCurrentFileInfo64;
using ::unzGetGlobalComment;
using ::unzGetGlobalInfo64;
using ::unzGoToFirstFile;
using ::unzGoToNextFile;
using ::unzOpen2_64;
using ::unzOpenCurrentFile;
using ::unzReadCurrentFile;
using ::zlib_filefunc64_def;
using ::ZPOS64_T;
}  // namespace kestrava::zipapi

#endif
