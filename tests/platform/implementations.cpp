#include "tests/platform/implementations.h"

#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_print_spooler.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/fakes/test_dialog_host.h"
#include "tests/platform/scratch.h"
#ifdef _WIN32
#include "platform/win32/dialog_host_win32.h"
#endif

namespace kestrava {

std::vector<Implementation<SystemInfo>> SystemInfoImplementations() {
  std::vector<Implementation<SystemInfo>> all = {
      {"Fake", [] { return std::make_unique<FakeSystemInfo>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return MakeWin32SystemInfo(); }});
#endif
  return all;
}

namespace {

std::unique_ptr<FilesUnderTest> MakeFakeFiles() {
  auto subject = std::make_unique<FilesUnderTest>();
  auto fake = std::make_unique<FakeFiles>();
  FakeFiles* raw = fake.get();
  raw->AddFolder(u"C:\\scratch");
  subject->files = std::move(fake);
  subject->base = u"C:\\scratch\\";
  subject->makeReadOnly = [raw](const WString& path) {
    auto content = raw->Content(path);
    if (!content) return false;
    raw->AddFile(path, *content, true);
    return true;
  };
  subject->makeFolderLink = [raw](const WString& link, const WString& target) {
    raw->AddFolderLink(link, target);
    return true;
  };
  return subject;
}

}  // namespace

std::vector<Implementation<FilesUnderTest>> FilesImplementations() {
  std::vector<Implementation<FilesUnderTest>> all = {{"Fake", MakeFakeFiles}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Files});
#else
  all.push_back({"Posix", MakePosixFiles});
#endif
  return all;
}

std::vector<Implementation<Process>> ProcessImplementations() {
  std::vector<Implementation<Process>> all = {
      {"Fake", [] { return std::make_unique<FakeProcess>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return MakeWin32Process(); }});
#endif
  return all;
}

std::vector<Implementation<DialogHost>> DialogHostImplementations() {
  std::vector<Implementation<DialogHost>> all = {
      {"Test", [] { return std::make_unique<TestDialogHost>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return std::make_unique<Win32DialogHost>(); }});
#endif
  return all;
}

std::vector<Implementation<Clock>> ClockImplementations() {
  std::vector<Implementation<Clock>> all = {{"Fake", [] { return std::make_unique<FakeClock>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", [] { return MakeWin32Clock(); }});
#endif
  return all;
}

std::vector<Implementation<RegistryUnderTest>> RegistryImplementations() {
  std::vector<Implementation<RegistryUnderTest>> all = {
      {"Fake", [] {
         auto subject = std::make_unique<RegistryUnderTest>();
         subject->registry = std::make_unique<FakeRegistry>();
         subject->base = u"SOFTWARE\\KestravaContract-fake";
         return subject;
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Registry});
#endif
  return all;
}

std::vector<Implementation<SpoolerUnderTest>> SpoolerImplementations() {
  std::vector<Implementation<SpoolerUnderTest>> all = {
      {"Fake", [] {
         auto subject = std::make_unique<SpoolerUnderTest>();
         auto files = std::make_unique<FakeFiles>();
         auto spooler = std::make_unique<FakePrintSpooler>();
         for (const auto& [environment, folder] : spooler->driverDirectories) {
           files->AddFolder(folder);
         }
         spooler->files = files.get();
         subject->spooler = std::move(spooler);
         subject->files = std::move(files);
         subject->prefix = u"KestravaContract-fake";
         return subject;
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Spooler});
#endif
  return all;
}

}  // namespace kestrava
