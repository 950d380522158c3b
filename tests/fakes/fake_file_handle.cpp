#include "tests/fakes/fake_file_handle.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

FakeFileHandle::FakeFileHandle(std::shared_ptr<std::string> data, HandleFaults faults)
    : data_(std::move(data)), faults_(std::move(faults)) {
  if (!faults_.writeBudget) faults_.writeBudget = std::make_shared<int64_t>(-1);
}

int64_t FakeFileHandle::Read(void* buffer, size_t size) {
  const std::optional<uint64_t>& limit = faults_.readLimit;
  if (limit && read_ >= *limit && size > 0) return -1;
  if (position_ >= data_->size()) return 0;
  size_t count = std::min<size_t>(size, data_->size() - position_);
  if (limit) count = std::min<size_t>(count, *limit - read_);
  std::memcpy(buffer, data_->data() + position_, count);
  position_ += count;
  read_ += count;
  return static_cast<int64_t>(count);
}

int64_t FakeFileHandle::Write(const void* data, size_t size) {
  size_t count = size;
  if (const std::optional<uint64_t>& limit = faults_.writeLimit) {
    count = std::min<size_t>(count, *limit - std::min(*limit, written_));
  }
  int64_t& budget = *faults_.writeBudget;
  if (budget >= 0) count = std::min<size_t>(count, static_cast<size_t>(budget));
  if (count == 0 && size > 0) return -1;
  if (budget >= 0) budget -= static_cast<int64_t>(count);
  if (data_->size() < position_ + count) data_->resize(position_ + count, '\0');
  std::memcpy(data_->data() + position_, data, count);
  position_ += count;
  written_ += count;
  return static_cast<int64_t>(count);
}

bool FakeFileHandle::Seek(int64_t offset, SeekOrigin origin) {
  const int64_t base = origin == SeekOrigin::kBegin     ? 0
                       : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(position_)
                                                        : static_cast<int64_t>(data_->size());
  if (base + offset < 0) return false;
  position_ = static_cast<size_t>(base + offset);
  return true;
}

std::optional<uint64_t> FakeFileHandle::Size() {
  if (faults_.sizeFails) return std::nullopt;
  return data_->size();
}

}  // namespace kestrava
