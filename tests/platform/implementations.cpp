#include "tests/platform/implementations.h"

#include "tests/fakes/fake_adapters.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_file_security.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_icmp.h"
#include "tests/fakes/fake_print_graphics.h"
#include "tests/fakes/fake_print_spooler.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/fakes/fake_udp_socket.h"
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

std::vector<Implementation<FileSecurityUnderTest>> FileSecurityImplementations() {
  std::vector<Implementation<FileSecurityUnderTest>> all = {
      {"Fake", [] {
         auto subject = std::make_unique<FileSecurityUnderTest>();
         auto files = std::make_unique<FakeFiles>();
         files->AddFolder(u"C:\\scratch");
         subject->security = std::make_unique<FakeFileSecurity>(*files);
         FakeFiles* raw = files.get();
         subject->makeFolderLink = [raw](const WString& link, const WString& target) {
           raw->AddFolderLink(link, target);
           return true;
         };
         subject->files = std::move(files);
         subject->base = u"C:\\scratch\\";
         return subject;
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32FileSecurity});
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

namespace {

std::unique_ptr<SpoolerUnderTest> MakeFakeSpooler() {
  auto subject = std::make_unique<SpoolerUnderTest>();
  auto files = std::make_unique<FakeFiles>();
  auto spooler = std::make_unique<FakePrintSpooler>();
  for (const auto& [environment, folder] : spooler->driverDirectories) files->AddFolder(folder);
  spooler->files = files.get();
  subject->spooler = std::move(spooler);
  subject->files = std::move(files);
  subject->prefix = u"KestravaContract-fake";
  return subject;
}

}  // namespace

std::vector<Implementation<SpoolerUnderTest>> SpoolerImplementations() {
  std::vector<Implementation<SpoolerUnderTest>> all = {{"Fake", MakeFakeSpooler}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Spooler});
#endif
  return all;
}

namespace {

std::vector<WString> Words(const WString& text) {
  std::vector<WString> words;
  WString word;
  for (WChar c : text + u" ") {
    if (c != u' ') {
      word.push_back(c);
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

std::unique_ptr<ShellUnderTest> MakeFakeShell() {
  auto subject = std::make_unique<ShellUnderTest>();
  auto files = std::make_unique<FakeFiles>();
  auto shell = std::make_unique<FakeShell>();
  files->AddFile(shell->systemFolder + u"\\net.exe", "MZ");
  files->AddFile(u"C:\\tools\\probe.exe", "MZ");
  files->AddFolder(u"C:\\scratch");
  // A 64-bit system, and a process of the test's own kind.
  shell->programFiles.process64 = sizeof(void*) == 8;
  files->AddFolder(u"C:\\Program Files");
  files->AddFolder(u"C:\\Program Files (x86)");
  FakeFiles* raw = files.get();
  // The fake's programs are hidden by construction; the probe says what a hidden start says.
  const WString probe = u"C:\\tools\\probe.exe";
  const auto number = [](const WString& parameters, size_t position) {
    const std::vector<WString> words = Words(parameters);
    return words.size() > position ? static_cast<uint32_t>(std::stoul(Utf16ToUtf8(words[position])))
                                   : 0u;
  };
  shell->Define(
      probe,
      [raw, probe, number](const WString& parameters) {
        const std::vector<WString> words = Words(parameters);
        raw->AddFile(words.empty() ? probe + u".txt" : words[0], "flags=1 show=0");
        return number(parameters, 1);
      },
      [number](const WString& parameters) { return number(parameters, 2); });
  shell->DefineOutput(probe, [](const WString& parameters) {
    const std::vector<WString> words = Words(parameters);
    return words.size() > 3 ? words[3] + u"\r\nerror\r\n" : WString();
  });
  // The fake's programs never share the caller's console: Ctrl+C there reaches none of them.
  subject->ownConsole = [] { return true; };
  subject->pressCtrlC = [] {};
  shell->files = raw;
  subject->shell = std::move(shell);
  subject->files = std::move(files);
  subject->probe = probe;
  subject->scratch = u"C:\\scratch\\";
  return subject;
}

}  // namespace

std::vector<Implementation<ShellUnderTest>> ShellImplementations() {
  std::vector<Implementation<ShellUnderTest>> all = {{"Fake", MakeFakeShell}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Shell});
#endif
  return all;
}

std::vector<Implementation<GraphicsUnderTest>> GraphicsImplementations() {
  std::vector<Implementation<GraphicsUnderTest>> all = {
      {"Fake", [] {
         auto subject = std::make_unique<GraphicsUnderTest>();
         subject->printers = MakeFakeSpooler();
         auto graphics = std::make_unique<FakePrintGraphics>();
         graphics->spooler = static_cast<FakePrintSpooler*>(subject->printers->spooler.get());
         subject->graphics = std::move(graphics);
         subject->makePicture = [](int width, int height) { return Picture{141, width, height}; };
         return subject;
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Graphics});
#endif
  return all;
}

std::vector<Implementation<UdpSockets>> UdpSocketsImplementations() {
  std::vector<Implementation<UdpSockets>> all = {
      {"Fake", [] { return std::make_unique<FakeUdpSockets>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32UdpSockets});
#endif
  return all;
}

std::vector<Implementation<Icmp>> IcmpImplementations() {
  std::vector<Implementation<Icmp>> all = {{"Fake", [] { return std::make_unique<FakeIcmp>(); }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32Icmp});
#endif
  return all;
}

std::vector<Implementation<AdapterTable>> AdapterTableImplementations() {
  std::vector<Implementation<AdapterTable>> all = {
      {"Fake", [] {
         auto table = std::make_unique<FakeAdapterTable>();
         table->adapters = {
             MakeAdapter("Ethernet", {0x02, 0x11, 0x22, 0x33, 0x44, 0x55}, {"10.77.0.1/16"}),
             MakeAdapter("Wireless", {0x02, 0x66, 0x77, 0x88, 0x99, 0xAA},
                         {"192.168.7.2/24", "192.168.8.2/23"})};
         return table;
       }}};
#ifdef _WIN32
  all.push_back({"Win32", MakeWin32AdapterTable});
#endif
  return all;
}

}  // namespace kestrava
