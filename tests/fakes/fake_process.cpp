#include "tests/fakes/fake_process.h"

namespace kestrava {

namespace {

class FakeMarker final : public InstanceMarker {
 public:
  FakeMarker(std::shared_ptr<FakeProcess::NamedObjects> objects, WString name)
      : objects_(std::move(objects)), name_(std::move(name)) {
    if (!name_.empty()) ++(*objects_)[name_];
  }
  ~FakeMarker() override {
    if (!name_.empty() && --(*objects_)[name_] == 0) objects_->erase(name_);
  }

 private:
  std::shared_ptr<FakeProcess::NamedObjects> objects_;
  WString name_;
};

}  // namespace

ElevatedStart FakeProcess::StartElevatedCopy(const std::vector<WString>& words) {
  std::string joined;
  for (const WString& word : words) joined += (joined.empty() ? "" : "|") + Utf16ToUtf8(word);
  starts.push_back("runas " + Utf16ToUtf8(programFilePath) + " " + joined);
  return elevatedStart;
}

std::unique_ptr<InstanceMarker> FakeProcess::CreateInstanceMarker(const WString& name,
                                                                  bool& alreadyExisted) {
  ++markersCreated;
  if (markerCreationFails) {
    alreadyExisted = false;
    return std::make_unique<FakeMarker>(objects_, WString());
  }
  alreadyExisted = objects_->count(name) > 0;
  return std::make_unique<FakeMarker>(objects_, name);
}

SessionAccounts FakeProcess::Accounts() {
  const uint32_t asked = session == 0 ? consoleSession : session;
  auto user = sessionUsers.find(asked);
  return {account, user == sessionUsers.end() ? WString() : user->second};
}

int FakeProcess::OpenHandles(const WString& name) const {
  auto it = objects_->find(name);
  return it == objects_->end() ? 0 : it->second;
}

}  // namespace kestrava
