#include "payload/zip_file_io.h"

#include <memory>

namespace kestrava {

namespace {

struct Stream {
  std::unique_ptr<FileHandle> file;
  bool failed = false;
};

void* OpenStream(void* opaque, const void* filename, int /*mode*/) {
  auto* io = static_cast<ZipFileIo*>(opaque);
  if (!filename) return nullptr;
  const WString path = io->system.AnsiToWide(static_cast<const char*>(filename));
  std::unique_ptr<FileHandle> file = io->files.OpenForRead(path);
  if (!file) return nullptr;
  auto* stream = new Stream;
  io->openedSize = file->Size().value_or(0);
  stream->file = std::move(file);
  return stream;
}

unsigned long ReadStream(void*, void* handle, void* buffer, unsigned long size) {
  auto* stream = static_cast<Stream*>(handle);
  unsigned long done = 0;
  while (done < size) {
    const int64_t got = stream->file->Read(static_cast<char*>(buffer) + done, size - done);
    if (got < 0) stream->failed = true;
    if (got <= 0) break;
    done += static_cast<unsigned long>(got);
  }
  return done;
}

unsigned long WriteStream(void*, void*, const void*, unsigned long) {
  return 0;
}

zipapi::ZPOS64_T TellStream(void*, void* handle) {
  const int64_t position = static_cast<Stream*>(handle)->file->Tell();
  return position < 0 ? static_cast<zipapi::ZPOS64_T>(-1) : static_cast<zipapi::ZPOS64_T>(position);
}

long SeekStream(void*, void* handle, zipapi::ZPOS64_T offset, int origin) {
  auto* stream = static_cast<Stream*>(handle);
  const SeekOrigin from = origin == zipapi::kSeekCur   ? SeekOrigin::kCurrent
                          : origin == zipapi::kSeekEnd ? SeekOrigin::kEnd
                                                       : SeekOrigin::kBegin;
  return stream->file->Seek(static_cast<int64_t>(offset), from) ? 0 : -1;
}

int CloseStream(void*, void* handle) {
  delete static_cast<Stream*>(handle);
  return 0;
}

int StreamError(void*, void* handle) {
  return static_cast<Stream*>(handle)->failed ? 1 : 0;
}

}  // namespace

zipapi::zlib_filefunc64_def MakeZipFileFunctions(ZipFileIo& io) {
  zipapi::zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenStream;
  functions.zread_file = ReadStream;
  functions.zwrite_file = WriteStream;
  functions.ztell64_file = TellStream;
  functions.zseek64_file = SeekStream;
  functions.zclose_file = CloseStream;
  functions.zerror_file = StreamError;
  functions.opaque = &io;
  return functions;
}

}  // namespace kestrava
