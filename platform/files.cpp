#include "platform/files.h"

namespace kestrava {

bool ReadExactly(FileHandle& file, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const int64_t got = file.Read(static_cast<char*>(buffer) + done, size - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

}  // namespace kestrava
