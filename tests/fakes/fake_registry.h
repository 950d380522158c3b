// An in-memory HKEY_LOCAL_MACHINE with the rules of the real one: names without regard to case,
// subkeys listed by name, values in the order first written, buffers that are too small
// answered with kMoreData. It counts open keys (every key must be closed on every path),
// records the access mask of every open and create, and can be made to refuse a path.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace kestrava {

class FakeRegistry final : public Registry {
 public:
  struct Node {
    std::map<WString, Node> subkeys;  // by upper-cased name
    WString name;                     // as created
    std::vector<std::pair<WString, RegistryValue>> values;
  };

  // Scripting: keys are made with every missing parent.
  void SetValue(const WString& path, const WString& name, const RegistryValue& value);
  void AddKey(const WString& path);
  // Opening or creating `path` (exactly, case ignored) fails with `status`.
  void FailOpen(const WString& path, RegistryStatus status = RegistryStatus::kFailed);
  // Writes of values under `path` fail.
  void FailWrites(const WString& path);

  // Inspection.
  bool HasKey(const WString& path) const;
  // The value, or nothing.
  std::unique_ptr<RegistryValue> Value(const WString& path, const WString& name) const;
  std::vector<WString> ValueNames(const WString& path) const;
  int openKeys() const { return *openKeys_; }

  struct Access {
    WString path;
    uint32_t mask;
    bool create;
  };
  std::vector<Access> accesses;

  std::unique_ptr<RegistryKey> OpenMachineKey(const WString& path, uint32_t access,
                                              RegistryStatus* status) override;
  std::unique_ptr<RegistryKey> CreateMachineKey(const WString& path, uint32_t access) override;
  bool DeleteMachineKeyTree(const WString& path) override;

  // For the keys this registry hands out.
  Node* Find(const WString& path);
  Node* Make(const WString& path);
  bool Failing(const WString& path, RegistryStatus& status) const;
  bool WritesFail(const WString& path) const;
  std::unique_ptr<RegistryKey> OpenKey(const WString& path, uint32_t access, bool create,
                                       RegistryStatus* status);

 private:
  Node root_;
  std::map<WString, RegistryStatus> failing_;
  std::vector<WString> failingWrites_;
  std::shared_ptr<int> openKeys_ = std::make_shared<int>(0);
};

}  // namespace kestrava
