// A scriptable Process. Fakes made with the same NamedObjects see each other's instance
// markers, as two processes of one session do.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace kestrava {

class FakeProcess final : public Process {
 public:
  using NamedObjects = std::map<WString, int>;  // name -> open handles

  explicit FakeProcess(std::shared_ptr<NamedObjects> objects = std::make_shared<NamedObjects>())
      : objects_(std::move(objects)) {}

  WString ProgramFilePath() override { return programFilePath; }
  std::vector<WString> Arguments() override { return arguments; }
  bool IsElevated() override { return elevated; }
  // As Windows answers: the session asked is the process's own, or the console's for a
  // process of session 0; a session without a user (session 0 since Windows Vista, a console
  // no one has logged on at: kNoSession) names no one.
  SessionAccounts Accounts() override;
  // Recorded as "runas <program> <argument>|<argument>...".
  ElevatedStart StartElevatedCopy(const std::vector<WString>& words) override;
  bool IsElevatedCopy() override { return elevatedCopy; }
  std::unique_ptr<InstanceMarker> CreateInstanceMarker(const WString& name,
                                                       bool& alreadyExisted) override;
  bool InitialiseCommonControls(uint32_t size, uint32_t classMask) override {
    commonControls.emplace_back(size, classMask);
    return true;
  }
  bool StartSockets() override {
    ++socketStarts;
    return socketsStart;
  }
  bool RegisterForRestart() override {
    ++restartRegistrations;
    return true;
  }
  void DebugOutput(std::string_view text) override { debugOutput += text; }
  void StandardOutput(std::string_view text) override { standardOutput += text; }

  int OpenHandles(const WString& name) const;

  // Who runs the program: by default the user logged on at the console, in session 1.
  static constexpr uint32_t kNoSession = 0xFFFFFFFF;  // no one at the console
  WString account = u"TILL\\alice";
  uint32_t session = 1;
  uint32_t consoleSession = 1;
  std::map<uint32_t, WString> sessionUsers = {{1, u"TILL\\alice"}};

  WString programFilePath = u"C:\\Setup\\KestravaSetup.exe";
  std::vector<WString> arguments;
  bool elevated = true;
  bool elevatedCopy = false;
  ElevatedStart elevatedStart = ElevatedStart::kStarted;  // what a start of a copy gives
  std::vector<std::string> starts;                        // every copy started, in order
  int markersCreated = 0;
  bool markerCreationFails = false;  // as when the name is taken by another kind of object
  bool socketsStart = true;
  std::vector<std::pair<uint32_t, uint32_t>> commonControls;
  int socketStarts = 0;
  int restartRegistrations = 0;
  std::string debugOutput;
  std::string standardOutput;

 private:
  std::shared_ptr<NamedObjects> objects_;
};

}  // namespace kestrava
