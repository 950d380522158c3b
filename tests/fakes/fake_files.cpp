#include "tests/fakes/fake_files.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/system_errors.h"

namespace kestrava {

namespace {

std::vector<WString> Split(const WString& path) {
  std::vector<WString> parts;
  WString current;
  for (WChar c : path) {
    if (c == u'\\' || c == u'/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

class FakeFileHandle final : public FileHandle {
 public:
  FakeFileHandle(std::shared_ptr<std::string> data, std::optional<uint64_t> readLimit,
                 std::optional<uint64_t> writeLimit, bool sizeFails)
      : data_(std::move(data)),
        readLimit_(readLimit),
        writeLimit_(writeLimit),
        sizeFails_(sizeFails) {}

  int64_t Read(void* buffer, size_t size) override {
    if (readLimit_ && read_ >= *readLimit_ && size > 0) return -1;
    if (position_ >= data_->size()) return 0;
    size_t count = std::min<size_t>(size, data_->size() - position_);
    if (readLimit_) count = std::min<size_t>(count, *readLimit_ - read_);
    std::memcpy(buffer, data_->data() + position_, count);
    position_ += count;
    read_ += count;
    return static_cast<int64_t>(count);
  }

  int64_t Write(const void* data, size_t size) override {
    size_t count = size;
    if (writeLimit_)
      count = std::min<size_t>(count, *writeLimit_ - std::min(*writeLimit_, written_));
    if (count == 0 && size > 0) return -1;
    if (data_->size() < position_ + count) data_->resize(position_ + count, '\0');
    std::memcpy(data_->data() + position_, data, count);
    position_ += count;
    written_ += count;
    return static_cast<int64_t>(count);
  }

  bool Seek(int64_t offset, SeekOrigin origin) override {
    const int64_t base = origin == SeekOrigin::kBegin     ? 0
                         : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(position_)
                                                          : static_cast<int64_t>(data_->size());
    if (base + offset < 0) return false;
    position_ = static_cast<size_t>(base + offset);
    return true;
  }

  int64_t Tell() override { return static_cast<int64_t>(position_); }

  std::optional<uint64_t> Size() override {
    if (sizeFails_) return std::nullopt;
    return data_->size();
  }

 private:
  std::shared_ptr<std::string> data_;
  size_t position_ = 0;
  uint64_t read_ = 0;
  uint64_t written_ = 0;
  std::optional<uint64_t> readLimit_;
  std::optional<uint64_t> writeLimit_;
  bool sizeFails_;
};

}  // namespace

FakeFiles::FakeFiles() {
  AddDrive(u'C');
}

void FakeFiles::AddDrive(WChar letter) {
  Node drive;
  drive.folder = true;
  drive.name = WString(1, UpperAscii(letter)) + u":";
  nodes_[drive.name] = drive;
}

std::optional<WString> FakeFiles::Resolve(const WString& path, bool followLast) {
  // "\name" is the root of the current drive, C: here, as a program started from C: sees it.
  if (!path.empty() && (path[0] == u'\\' || path[0] == u'/') &&
      (path.size() < 2 || (path[1] != u'\\' && path[1] != u'/'))) {
    return Resolve(u"C:" + path, followLast);
  }
  if (path.size() < 2 || path[1] != u':') return std::nullopt;  // relative paths: not here
  std::vector<WString> parts = Split(path.substr(2));
  WString key = WString(1, UpperAscii(path[0])) + u":";
  if (!nodes_.count(key)) return std::nullopt;
  for (size_t i = 0; i < parts.size(); ++i) {
    const WString& part = parts[i];
    if (part == u".") continue;
    if (part == u"..") {
      if (key.size() > 2) key = Parent(key);
      continue;
    }
    key += u"\\" + UpperAscii(part);
    auto it = nodes_.find(key);
    const bool last = i + 1 == parts.size();
    if (it != nodes_.end() && !it->second.linkTarget.empty() && (!last || followLast)) {
      key = it->second.linkTarget;
    }
  }
  return key;
}

WString FakeFiles::Parent(const WString& key) {
  const size_t slash = key.rfind(u'\\');
  return slash == WString::npos ? key : key.substr(0, slash);
}

bool FakeFiles::ParentIsFolder(const WString& key) {
  auto it = nodes_.find(Parent(key));
  return key.size() > 2 && it != nodes_.end() && it->second.folder;
}

bool FakeFiles::Failing(Op op, const WString& key) {
  auto it = failing_.find({op, key});
  if (it == failing_.end() || it->second == 0) return false;
  if (it->second > 0) --it->second;
  return true;
}

void FakeFiles::AddFolder(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key) return;
  const std::vector<WString> parts = Split(path.substr(2));
  WString walk = key->substr(0, 2);
  for (const WString& part : Split(key->substr(2))) {
    walk += u"\\" + part;
    Node& node = nodes_[walk];
    node.folder = true;
    if (node.name.empty()) node.name = part;
  }
  // Keep the caller's spelling of the last name for listings.
  if (!parts.empty()) nodes_[*key].name = parts.back();
}

void FakeFiles::AddFile(const WString& path, std::string content, bool readOnly) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash != WString::npos) AddFolder(path.substr(0, slash));
  const std::optional<WString> key = Resolve(path, true);
  if (!key) return;
  Node node;
  node.name = path.substr(slash + 1);
  node.readOnly = readOnly;
  *node.data = std::move(content);
  nodes_[*key] = node;
}

void FakeFiles::AddFolderLink(const WString& linkPath, const WString& target) {
  const size_t slash = linkPath.find_last_of(u"\\/");
  AddFolder(linkPath.substr(0, slash));
  const std::optional<WString> key = Resolve(linkPath, false);
  const std::optional<WString> targetKey = Resolve(target, true);
  if (!key || !targetKey) return;
  Node node;
  node.name = linkPath.substr(slash + 1);
  node.folder = true;
  node.linkTarget = *targetKey;
  nodes_[*key] = node;
}

bool FakeFiles::Exists(const WString& path) {
  return Attributes(path).has_value();
}

std::optional<std::string> FakeFiles::Content(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key) return std::nullopt;
  auto it = nodes_.find(*key);
  if (it == nodes_.end() || it->second.folder) return std::nullopt;
  return *it->second.data;
}

std::set<WString> FakeFiles::Tree(const WString& folder) {
  std::set<WString> out;
  const std::optional<WString> key = Resolve(folder, true);
  if (!key) return out;
  const WString prefix = *key + u"\\";
  for (const auto& [path, node] : nodes_) {
    if (path.compare(0, prefix.size(), prefix) != 0) continue;
    // Rebuild the caller-facing spelling from each level's name.
    WString relative;
    WString walk = *key;
    for (const WString& part : Split(path.substr(prefix.size()))) {
      walk += u"\\" + part;
      if (!relative.empty()) relative += u"\\";
      relative += nodes_[walk].name;
    }
    out.insert(relative + (node.folder ? u"\\" : u""));
  }
  return out;
}

void FakeFiles::Fail(Op op, const WString& path, int times) {
  if (const std::optional<WString> key = Resolve(path, false)) failing_[{op, *key}] = times;
}

void FakeFiles::FailReadAfter(const WString& path, uint64_t bytes) {
  if (const std::optional<WString> key = Resolve(path, true)) readLimits_[*key] = bytes;
}

void FakeFiles::FailWriteAfter(const WString& path, uint64_t bytes) {
  if (const std::optional<WString> key = Resolve(path, true)) writeLimits_[*key] = bytes;
}

std::unique_ptr<FileHandle> FakeFiles::OpenForRead(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key || Failing(Op::kOpen, *key)) return nullptr;
  auto it = nodes_.find(*key);
  if (it == nodes_.end() || it->second.folder) return nullptr;
  std::optional<uint64_t> limit;
  if (auto l = readLimits_.find(*key); l != readLimits_.end()) limit = l->second;
  return std::make_unique<FakeFileHandle>(it->second.data, limit, std::nullopt,
                                          Failing(Op::kSize, *key));
}

std::unique_ptr<FileHandle> FakeFiles::Create(const WString& path, CreateMode mode) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key || Failing(Op::kCreate, *key) || !ParentIsFolder(*key)) return nullptr;
  auto it = nodes_.find(*key);
  if (it != nodes_.end()) {
    if (mode == CreateMode::kNew || it->second.folder || it->second.readOnly) return nullptr;
    if (mode != CreateMode::kAppend) it->second.data->clear();
  } else {
    Node node;
    node.name = Split(path).back();
    it = nodes_.emplace(*key, node).first;
  }
  std::optional<uint64_t> limit;
  if (auto l = writeLimits_.find(*key); l != writeLimits_.end()) limit = l->second;
  auto handle = std::make_unique<FakeFileHandle>(it->second.data, std::nullopt, limit, false);
  if (mode == CreateMode::kAppend) handle->Seek(0, SeekOrigin::kEnd);
  return handle;
}

std::optional<FileAttributes> FakeFiles::Attributes(const WString& path) {
  const std::optional<WString> key = Resolve(path, false);
  if (!key) return std::nullopt;
  auto it = nodes_.find(*key);
  if (it == nodes_.end()) return std::nullopt;
  FileAttributes attributes;
  attributes.isFolder = it->second.folder;
  attributes.isLink = !it->second.linkTarget.empty();
  attributes.readOnly = it->second.readOnly;
  return attributes;
}

bool FakeFiles::CreateFolder(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key || Failing(Op::kCreateFolder, *key) || nodes_.count(*key) || !ParentIsFolder(*key)) {
    return false;
  }
  Node node;
  node.folder = true;
  node.name = Split(path).back();
  nodes_[*key] = node;
  return true;
}

bool FakeFiles::RemoveFolder(const WString& path) {
  const std::optional<WString> key = Resolve(path, false);
  if (!key || Failing(Op::kRemoveFolder, *key)) return false;
  auto it = nodes_.find(*key);
  if (it == nodes_.end() || !it->second.folder || key->size() <= 2) return false;
  if (it->second.linkTarget.empty()) {
    const WString prefix = *key + u"\\";
    auto child = nodes_.lower_bound(prefix);
    if (child != nodes_.end() && child->first.compare(0, prefix.size(), prefix) == 0) {
      return false;  // not empty
    }
  }
  nodes_.erase(it);
  return true;
}

bool FakeFiles::RemoveFile(const WString& path) {
  const std::optional<WString> key = Resolve(path, false);
  if (!key || Failing(Op::kDelete, *key)) return false;
  auto it = nodes_.find(*key);
  if (it == nodes_.end() || it->second.folder || it->second.readOnly) return false;
  nodes_.erase(it);
  return true;
}

bool FakeFiles::SetNormalAttributes(const WString& path) {
  const std::optional<WString> key = Resolve(path, false);
  if (!key) return false;
  auto it = nodes_.find(*key);
  if (it == nodes_.end()) return false;
  it->second.readOnly = false;
  return true;
}

bool FakeFiles::List(const WString& pattern, std::vector<FolderEntry>& out) {
  // Only the "folder\*.*" and "folder\*" patterns the program uses.
  const size_t slash = pattern.find_last_of(u"\\/");
  if (slash == WString::npos) return false;
  const WString wildcard = pattern.substr(slash + 1);
  if (wildcard != u"*.*" && wildcard != u"*") return false;
  const std::optional<WString> key = Resolve(pattern.substr(0, slash), true);
  if (!key || Failing(Op::kList, *key)) return false;
  auto folder = nodes_.find(*key);
  if (folder == nodes_.end() || !folder->second.folder) return false;
  if (key->size() > 2) {  // a drive's root has no "." and ".."
    out.push_back({u".", {true, false, false}});
    out.push_back({u"..", {true, false, false}});
  }
  const WString prefix = *key + u"\\";
  for (auto it = nodes_.lower_bound(prefix);
       it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (it->first.find(u'\\', prefix.size()) != WString::npos) continue;  // deeper
    FileAttributes attributes{it->second.folder, !it->second.linkTarget.empty(),
                              it->second.readOnly};
    out.push_back({it->second.name, attributes});
  }
  return true;
}

bool FakeFiles::Copy(const WString& from, const WString& to, bool replace, uint32_t* error) {
  const auto fail = [error](uint32_t code) {
    if (error) *error = code;
    return false;
  };
  if (error) *error = 0;
  const std::optional<WString> source = Resolve(from, true);
  const std::optional<WString> target = Resolve(to, true);
  if (!source || !target) return fail(kErrorPathNotFound);
  // A scripted failure stands for a file the spooler holds open.
  if (Failing(Op::kCopy, *source) || Failing(Op::kCopy, *target))
    return fail(kErrorSharingViolation);
  auto in = nodes_.find(*source);
  if (in == nodes_.end() || in->second.folder) return fail(kErrorFileNotFound);
  if (!ParentIsFolder(*target)) return fail(kErrorPathNotFound);
  auto out = nodes_.find(*target);
  if (out != nodes_.end() && !replace) return fail(kErrorFileExists);
  if (out != nodes_.end() && (out->second.folder || out->second.readOnly)) {
    return fail(kErrorAccessDenied);
  }
  Node copy;
  copy.name = Split(to).back();
  *copy.data = *in->second.data;
  nodes_[*target] = copy;
  return true;
}

}  // namespace kestrava
