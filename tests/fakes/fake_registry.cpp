#include "tests/fakes/fake_registry.h"

#include <algorithm>

namespace kestrava {

namespace {

std::vector<WString> Split(const WString& path) {
  std::vector<WString> parts;
  WString part;
  for (WChar c : path) {
    if (c == u'\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

WString Join(const WString& parent, const WString& child) {
  return parent.empty() ? child : parent + u"\\" + child;
}

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, WString path, std::shared_ptr<int> open)
      : registry_(registry), path_(std::move(path)), open_(std::move(open)) {
    ++*open_;
  }
  ~FakeKey() override { --*open_; }

  std::unique_ptr<RegistryKey> CreateSubkey(const WString& name, uint32_t access) override {
    if (!registry_.Find(path_)) return nullptr;
    return registry_.OpenKey(Join(path_, name), access, true, nullptr);
  }

  bool SetValue(const WString& name, uint32_t type, const void* data, uint32_t size) override {
    FakeRegistry::Node* node = registry_.Find(path_);
    if (!node || registry_.WritesFail(path_)) return false;
    RegistryValue value;
    value.type = type;
    value.data.assign(static_cast<const char*>(data), size);
    const WString key = UpperAscii(name);
    for (auto& [existing, stored] : node->values) {
      if (UpperAscii(existing) == key) {
        stored = value;
        return true;
      }
    }
    node->values.emplace_back(name, value);
    return true;
  }

  std::unique_ptr<RegistryKey> OpenSubkey(const WString& name, uint32_t access) override {
    if (!registry_.Find(path_)) return nullptr;
    return registry_.OpenKey(Join(path_, name), access, false, nullptr);
  }

  bool DeleteValue(const WString& name) override {
    FakeRegistry::Node* node = registry_.Find(path_);
    if (!node || registry_.WritesFail(path_)) return false;
    const WString key = UpperAscii(name);
    for (auto it = node->values.begin(); it != node->values.end(); ++it) {
      if (UpperAscii(it->first) == key) {
        node->values.erase(it);
        return true;
      }
    }
    return false;
  }

  RegistryStatus QueryValue(const WString& name, uint32_t capacity, RegistryValue& out) override {
    FakeRegistry::Node* node = registry_.Find(path_);
    if (!node) return RegistryStatus::kFailed;
    const WString key = UpperAscii(name);
    for (const auto& [existing, stored] : node->values) {
      if (UpperAscii(existing) != key) continue;
      if (stored.data.size() > capacity) return RegistryStatus::kMoreData;
      out = stored;
      return RegistryStatus::kOk;
    }
    return RegistryStatus::kNotFound;
  }

  RegistryStatus EnumValue(uint32_t index, uint32_t nameCapacity, uint32_t dataCapacity,
                           WString& name, RegistryValue& value) override {
    FakeRegistry::Node* node = registry_.Find(path_);
    if (!node) return RegistryStatus::kFailed;
    if (index >= node->values.size()) return RegistryStatus::kNoMoreItems;
    const auto& [storedName, stored] = node->values[index];
    if (storedName.size() + 1 > nameCapacity || stored.data.size() > dataCapacity) {
      return RegistryStatus::kMoreData;
    }
    name = storedName;
    value = stored;
    return RegistryStatus::kOk;
  }

  RegistryStatus EnumSubkey(uint32_t index, uint32_t nameCapacity, WString& name) override {
    FakeRegistry::Node* node = registry_.Find(path_);
    if (!node) return RegistryStatus::kFailed;
    if (index >= node->subkeys.size()) return RegistryStatus::kNoMoreItems;
    auto it = node->subkeys.begin();
    std::advance(it, index);
    if (it->second.name.size() + 1 > nameCapacity) return RegistryStatus::kMoreData;
    name = it->second.name;
    return RegistryStatus::kOk;
  }

 private:
  FakeRegistry& registry_;
  WString path_;
  std::shared_ptr<int> open_;
};

}  // namespace

FakeRegistry::Node* FakeRegistry::Find(const WString& path) {
  Node* node = &root_;
  for (const WString& part : Split(path)) {
    auto it = node->subkeys.find(UpperAscii(part));
    if (it == node->subkeys.end()) return nullptr;
    node = &it->second;
  }
  return node;
}

FakeRegistry::Node* FakeRegistry::Make(const WString& path) {
  Node* node = &root_;
  for (const WString& part : Split(path)) {
    Node& child = node->subkeys[UpperAscii(part)];
    if (child.name.empty()) child.name = part;
    node = &child;
  }
  return node;
}

bool FakeRegistry::Failing(const WString& path, RegistryStatus& status) const {
  auto it = failing_.find(UpperAscii(path));
  if (it == failing_.end()) return false;
  status = it->second;
  return true;
}

bool FakeRegistry::WritesFail(const WString& path) const {
  return std::find(failingWrites_.begin(), failingWrites_.end(), UpperAscii(path)) !=
         failingWrites_.end();
}

std::unique_ptr<RegistryKey> FakeRegistry::OpenKey(const WString& path, uint32_t access,
                                                   bool create, RegistryStatus* status) {
  accesses.push_back({path, access, create});
  RegistryStatus refused = RegistryStatus::kOk;
  if (Failing(path, refused)) {
    if (status) *status = refused;
    return nullptr;
  }
  WString normal;
  for (const WString& part : Split(path)) normal = Join(normal, part);
  if (!create && !Find(normal)) {
    if (status) *status = RegistryStatus::kNotFound;
    return nullptr;
  }
  if (create) Make(normal);
  if (status) *status = RegistryStatus::kOk;
  return std::make_unique<FakeKey>(*this, normal, openKeys_);
}

std::unique_ptr<RegistryKey> FakeRegistry::OpenMachineKey(const WString& path, uint32_t access,
                                                          RegistryStatus* status) {
  return OpenKey(path, access, false, status);
}

std::unique_ptr<RegistryKey> FakeRegistry::CreateMachineKey(const WString& path, uint32_t access) {
  return OpenKey(path, access, true, nullptr);
}

bool FakeRegistry::DeleteMachineKeyTree(const WString& path) {
  const std::vector<WString> parts = Split(path);
  if (parts.empty()) return false;
  Node* parent = &root_;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = parent->subkeys.find(UpperAscii(parts[i]));
    if (it == parent->subkeys.end()) return false;
    parent = &it->second;
  }
  return parent->subkeys.erase(UpperAscii(parts.back())) > 0;
}

void FakeRegistry::SetValue(const WString& path, const WString& name, const RegistryValue& value) {
  Node* node = Make(path);
  const WString key = UpperAscii(name);
  for (auto& [existing, stored] : node->values) {
    if (UpperAscii(existing) == key) {
      stored = value;
      return;
    }
  }
  node->values.emplace_back(name, value);
}

void FakeRegistry::AddKey(const WString& path) {
  Make(path);
}

void FakeRegistry::FailOpen(const WString& path, RegistryStatus status) {
  failing_[UpperAscii(path)] = status;
}

void FakeRegistry::FailWrites(const WString& path) {
  failingWrites_.push_back(UpperAscii(path));
}

bool FakeRegistry::HasKey(const WString& path) const {
  return const_cast<FakeRegistry*>(this)->Find(path) != nullptr;
}

std::unique_ptr<RegistryValue> FakeRegistry::Value(const WString& path, const WString& name) const {
  const Node* node = const_cast<FakeRegistry*>(this)->Find(path);
  if (!node) return nullptr;
  for (const auto& [existing, stored] : node->values) {
    if (UpperAscii(existing) == UpperAscii(name)) return std::make_unique<RegistryValue>(stored);
  }
  return nullptr;
}

std::vector<WString> FakeRegistry::ValueNames(const WString& path) const {
  std::vector<WString> names;
  const Node* node = const_cast<FakeRegistry*>(this)->Find(path);
  if (node) {
    for (const auto& value : node->values) names.push_back(value.first);
  }
  return names;
}

}  // namespace kestrava
