#include "tests/install/engine_fixture.h"

namespace kestrava {

EngineFixture::EngineFixture() {
  spooler.files = &files;
  graphics.spooler = &spooler;
  for (const auto& [environment, folder] : spooler.driverDirectories) files.AddFolder(folder);
  const auto note = [this](const std::string& call) { journal.push_back(call); };
  shell.onCall = note;
  spooler.onCall = note;
  serviceManager.onCall = note;
  graphics.onCall = note;
  clock.onSleep = [this](uint32_t milliseconds) {
    journal.push_back("Sleep " + std::to_string(milliseconds));
  };
}

InstallEngine& EngineFixture::MakeEngine() {
  engine = std::make_unique<InstallEngine>(Engine());
  return *engine;
}

std::vector<WString> SamplePlatformTopFiles() {
  return {u"Receipt.ini",   u"ReceiptDrv.dll", u"ReceiptUI.dll", u"QXCHISMPL.DLL",
          u"QXCHITRAD.DLL", u"QXENGLISH.DLL",  u"TTFSUB.GPD",    u"STDNAMES.GPD",
          u"UNIRES.DLL",    u"UNIDRV.DLL",     u"UNIDRVUI.DLL",  u"UNIDRV.HLP"};
}

void AddSamplePlatformFolder(FakeFiles& files, const WString& root, const WString& platform) {
  WString folder = root;
  if (folder.back() != u'\\') folder += u'\\';
  folder += platform;
  const auto add = [&](const WString& relative) {
    files.AddFile(folder + u"\\" + relative, Utf16ToUtf8(platform + u"\\" + relative));
  };
  for (const WString& name : SamplePlatformTopFiles()) add(name);
  add(u"Font\\BARCODE.TTF");
  for (const char16_t* name : {u"P80C.GPD", u"P80.GPD", u"P58C.GPD", u"P58.GPD", u"P76C.GPD",
                               u"P76.GPD", u"P80.DLL", u"P58.DLL", u"P76.DLL"}) {
    add(WString(u"RES\\") + name);
  }
}

std::vector<std::string> EngineFixture::Journal(const std::string& prefix) const {
  std::vector<std::string> entries;
  for (const std::string& entry : journal) {
    if (entry.compare(0, prefix.size(), prefix) == 0) entries.push_back(entry);
  }
  return entries;
}

std::vector<WString> EngineFixture::Messages() const {
  std::vector<WString> texts;
  for (const auto& message : host.messages) texts.push_back(message.text);
  return texts;
}

}  // namespace kestrava
