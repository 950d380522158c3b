#include "tests/fakes/fake_files.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/system_errors.h"
#include "tests/fakes/access_inheritance.h"
#include "tests/fakes/fake_file_handle.h"

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

}  // namespace

FakeFiles::FakeFiles() {
  AddDrive(u'C');
}

void FakeFiles::AddDrive(WChar letter, bool keepsSecurity) {
  Node drive;
  drive.folder = true;
  drive.name = WString(1, UpperAscii(letter)) + u":";
  drive.keepsSecurity = keepsSecurity;
  drive.security = SystemDriveRootSecurity();
  nodes_[drive.name] = drive;
}

FakeFiles::Node FakeFiles::NewNode(const WString& key, WString name, bool folder) {
  Node node;
  node.name = std::move(name);
  node.folder = folder;
  auto parent = nodes_.find(Parent(key));
  if (parent != nodes_.end())
    node.security = NewObjectSecurity(parent->second.security, folder, token);
  return node;
}

std::unique_ptr<FileHandle> FakeFiles::Handle(const WString& key, Node& node, bool forWriting) {
  HandleFaults faults;
  if (!forWriting) {
    if (auto l = readLimits_.find(key); l != readLimits_.end()) faults.readLimit = l->second;
    faults.sizeFails = Failing(Op::kSize, key);
  } else if (auto l = writeLimits_.find(key); l != writeLimits_.end()) {
    faults.writeLimit = l->second;
  }
  faults.writeBudget = writeBudget_;
  faults.flushFails = Failing(Op::kFlush, key);
  return std::make_unique<FakeFileHandle>(node.data, std::move(faults));
}

ObjectSecurity* FakeFiles::SecurityOf(const WString& path) {
  const std::optional<WString> key = Resolve(path, false);
  if (!key) return nullptr;
  auto it = nodes_.find(*key);
  return it == nodes_.end() ? nullptr : &it->second.security;
}

bool FakeFiles::KeepsSecurity(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key) return false;
  auto drive = nodes_.find(key->substr(0, 2));
  return drive != nodes_.end() && drive->second.keepsSecurity;
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
    if (!nodes_.count(walk)) nodes_[walk] = NewNode(walk, part, true);
    nodes_[walk].folder = true;
  }
  // Keep the caller's spelling of the last name for listings.
  if (!parts.empty()) nodes_[*key].name = parts.back();
}

void FakeFiles::AddFile(const WString& path, std::string content, bool readOnly) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash != WString::npos) AddFolder(path.substr(0, slash));
  const std::optional<WString> key = Resolve(path, true);
  if (!key) return;
  Node node = NewNode(*key, path.substr(slash + 1), false);
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
  Node node = NewNode(*key, linkPath.substr(slash + 1), true);
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

void FakeFiles::FailEveryWriteAfter(uint64_t bytes) {
  *writeBudget_ = static_cast<int64_t>(bytes);
}

std::unique_ptr<FileHandle> FakeFiles::OpenForRead(const WString& path) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key || Failing(Op::kOpen, *key)) return nullptr;
  auto it = nodes_.find(*key);
  if (it == nodes_.end() || it->second.folder) return nullptr;
  return Handle(*key, it->second, false);
}

std::unique_ptr<FileHandle> FakeFiles::Create(const WString& path, CreateMode mode) {
  const std::optional<WString> key = Resolve(path, true);
  if (!key || Failing(Op::kCreate, *key) || !ParentIsFolder(*key)) return nullptr;
  auto it = nodes_.find(*key);
  if (it != nodes_.end()) {
    if (mode == CreateMode::kNew || it->second.folder || it->second.readOnly) return nullptr;
    if (mode != CreateMode::kAppend) it->second.data->clear();
  } else {
    it = nodes_.emplace(*key, NewNode(*key, Split(path).back(), false)).first;
  }
  std::unique_ptr<FileHandle> handle = Handle(*key, it->second, true);
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
  nodes_[*key] = NewNode(*key, Split(path).back(), true);
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
  // A new file gets what the folder passes on; a replaced one keeps its own security.
  Node copy = out != nodes_.end() ? out->second : NewNode(*target, Split(to).back(), false);
  copy.name = Split(to).back();
  copy.data = std::make_shared<std::string>(*in->second.data);
  copy.linkTarget.clear();
  nodes_[*target] = copy;
  return true;
}

bool FakeFiles::Replace(const WString& from, const WString& to, uint32_t* error) {
  const auto fail = [error](uint32_t code) {
    if (error) *error = code;
    return false;
  };
  if (error) *error = 0;
  const std::optional<WString> source = Resolve(from, false);
  const std::optional<WString> target = Resolve(to, false);
  if (!source || !target) return fail(kErrorPathNotFound);
  auto in = nodes_.find(*source);
  if (in == nodes_.end()) return fail(kErrorFileNotFound);
  if (Failing(Op::kReplace, *source) || Failing(Op::kReplace, *target)) {
    return fail(kErrorSharingViolation);
  }
  if (source->substr(0, 2) != target->substr(0, 2)) return fail(kErrorNotSameDevice);
  if (!ParentIsFolder(*target)) return fail(kErrorPathNotFound);
  auto out = nodes_.find(*target);
  if (in->second.folder || (out != nodes_.end() && (out->second.folder || out->second.readOnly))) {
    return fail(kErrorAccessDenied);
  }
  Node moved = in->second;
  moved.name = Split(to).back();
  nodes_.erase(in);
  nodes_[*target] = moved;
  return true;
}

}  // namespace kestrava
