#include "tests/fakes/fake_device_interfaces.h"

#include <algorithm>

namespace kestrava {

namespace {

class FakeSet final : public DeviceInterfaceSet {
 public:
  FakeSet(FakeDeviceInterfaces& owner, std::vector<FakeDeviceInterfaces::Entry> entries,
          std::shared_ptr<int> open)
      : owner_(owner), entries_(std::move(entries)), open_(std::move(open)) {
    ++*open_;
  }
  ~FakeSet() override { --*open_; }

  bool Interface(uint32_t index, uint32_t& flags) override {
    owner_.indicesAsked.push_back(index);
    if (index >= entries_.size()) return false;
    flags = entries_[index].flags;
    return true;
  }

  bool DetailPath(uint32_t index, WString& path) override {
    if (index >= entries_.size() || entries_[index].detailFails) return false;
    ++owner_.detailsRead;
    path = entries_[index].path;
    return true;
  }

 private:
  FakeDeviceInterfaces& owner_;
  // The set is a snapshot, as the system's is: interfaces that come or go later are not in it.
  std::vector<FakeDeviceInterfaces::Entry> entries_;
  std::shared_ptr<int> open_;
};

}  // namespace

FakeDeviceInterfaces::Entry& FakeDeviceInterfaces::Add(const WString& path, uint32_t flags,
                                                       const InterfaceClass& interfaceClass) {
  entries.push_back({interfaceClass, path, flags, false});
  return entries.back();
}

void FakeDeviceInterfaces::Remove(const WString& path) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const Entry& entry) { return entry.path == path; }),
                entries.end());
}

std::unique_ptr<DeviceInterfaceSet> FakeDeviceInterfaces::PresentInterfaces(
    const InterfaceClass& interfaceClass) {
  if (setUnavailable) return nullptr;
  ++setsMade;
  std::vector<Entry> ofClass;
  for (const Entry& entry : entries) {
    if (entry.interfaceClass == interfaceClass) ofClass.push_back(entry);
  }
  return std::make_unique<FakeSet>(*this, std::move(ofClass), openSets_);
}

}  // namespace kestrava
