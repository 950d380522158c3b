// An open file of the fake files service: reads and writes on the file's shared bytes, with
// the faults the test scripted for it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/files.h"

namespace kestrava {

// How a handle's reads, writes and flushes fail.
struct HandleFaults {
  std::optional<uint64_t> readLimit;     // reads fail once this many bytes were read
  std::optional<uint64_t> writeLimit;    // writes fall short once this many bytes were written
  std::shared_ptr<int64_t> writeBudget;  // shared by every handle; -1: no limit
  bool sizeFails = false;
  bool flushFails = false;
};

class FakeFileHandle final : public FileHandle {
 public:
  FakeFileHandle(std::shared_ptr<std::string> data, HandleFaults faults);

  int64_t Read(void* buffer, size_t size) override;
  int64_t Write(const void* data, size_t size) override;
  bool Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Tell() override { return static_cast<int64_t>(position_); }
  std::optional<uint64_t> Size() override;
  bool Flush() override { return !faults_.flushFails; }

 private:
  std::shared_ptr<std::string> data_;
  HandleFaults faults_;
  size_t position_ = 0;
  uint64_t read_ = 0;
  uint64_t written_ = 0;
};

}  // namespace kestrava
