// The implementations every contract test runs against: the fakes everywhere, and on Windows
// builds the Win32 implementations as well.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/adapters.h"
#include "platform/clock.h"
#include "platform/dialog_host.h"
#include "platform/file_security.h"
#include "platform/files.h"
#include "platform/icmp.h"
#include "platform/print_graphics.h"
#include "platform/print_spooler.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/udp_socket.h"

namespace kestrava {

template <typename Service>
struct Implementation {
  std::string name;
  std::function<std::unique_ptr<Service>()> make;
};

template <typename Service>
void PrintTo(const Implementation<Service>& implementation, std::ostream* os) {
  *os << implementation.name;
}

// Names each instantiation after its implementation ("Fake", "Win32").
struct ImplementationName {
  template <typename Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
    return param.param.name;
  }
};

std::vector<Implementation<SystemInfo>> SystemInfoImplementations();

// A files service with an empty scratch folder of its own (`base`, ending in "\\"), and the
// means to prepare what the service itself cannot make.
struct FilesUnderTest {
  std::unique_ptr<Files> files;
  WString base;
  bool foldsCase = true;
  std::function<bool(const WString& path)> makeReadOnly;
  // Makes a folder link; absent, or false, where the system cannot.
  std::function<bool(const WString& link, const WString& target)> makeFolderLink;
  std::function<void()> cleanup;
};

std::vector<Implementation<FilesUnderTest>> FilesImplementations();

// The security of files and folders, with the files service that reaches its scratch folder
// (`base`, ending in "\\", which `cleanup` removes).
struct FileSecurityUnderTest {
  std::unique_ptr<FileSecurity> security;
  std::unique_ptr<Files> files;
  WString base;
  // Whether the system keeps the security descriptors it is given, as Windows does on NTFS.
  // Found out at the start by setting one on a folder of the scratch folder and reading it
  // back: Wine 8 answers success and then reads out what it makes of the Unix file mode.
  bool keepsDescriptors = true;
  // Makes a folder link; absent, or false, where the system cannot.
  std::function<bool(const WString& link, const WString& target)> makeFolderLink;
  std::function<void()> cleanup;
};

std::vector<Implementation<FileSecurityUnderTest>> FileSecurityImplementations();
std::vector<Implementation<Process>> ProcessImplementations();
std::vector<Implementation<DialogHost>> DialogHostImplementations();
std::vector<Implementation<Clock>> ClockImplementations();

// A registry service with a key of its own under HKEY_LOCAL_MACHINE (`base`, not yet made),
// which the test deletes with everything below it.
struct RegistryUnderTest {
  std::unique_ptr<Registry> registry;
  WString base;
};

std::vector<Implementation<RegistryUnderTest>> RegistryImplementations();

// A print spooler with the files service that reaches its driver directories, and a prefix
// of its own for the names of the drivers and printers the test makes (and deletes).
struct SpoolerUnderTest {
  std::unique_ptr<PrintSpooler> spooler;
  std::unique_ptr<Files> files;
  WString prefix;
  // Windows refuses a driver whose files are missing and a second printer of a name already
  // taken; Wine's spooler accepts both.
  bool checksLikeWindows = true;
  // Windows only marks a printer deleted while a handle is open on it, and deletes it when the
  // last one closes; Wine's spooler deletes it at once.
  bool pendsDeletion = true;
  // The environment whose drivers the spooler's printers use.
  WString environment = u"Windows x64";
};

std::vector<Implementation<SpoolerUnderTest>> SpoolerImplementations();

// A shell with the files service that reaches its scratch folder (`scratch`, ending in "\\"),
// and the probe program: it writes "flags=<start-up flags> show=<show-window value>" into the
// file of its first parameter (or `probe` + ".txt" without parameters) after waiting the
// milliseconds of its third, and exits with the number of its second; with a fourth, it first
// writes that word and a line end to its standard output and "error" and a line end to its
// standard error. Paths without spaces. `ownConsole` gives the test process a console of its
// own, false where there can be none; `pressCtrlC` then sends Ctrl+C to every process attached
// to it (the test process itself notes it and goes on).
struct ShellUnderTest {
  std::unique_ptr<Shell> shell;
  std::unique_ptr<Files> files;
  WString probe;
  WString scratch;
  std::function<bool()> ownConsole;
  std::function<void()> pressCtrlC;
  std::function<void()> cleanup;
  // Where the implementation has another way to the program-files folders for older systems,
  // its answer.
  std::function<WString(ProgramFiles which)> folderPathFallback;
};

std::vector<Implementation<ShellUnderTest>> ShellImplementations();

// GDI printing with the spooler its printers come from, and the means to make a picture of a
// given size (freed by `cleanup`).
struct GraphicsUnderTest {
  std::unique_ptr<PrintGraphics> graphics;
  std::unique_ptr<SpoolerUnderTest> printers;
  std::function<Picture(int width, int height)> makePicture;
  std::function<void()> cleanup;
};

std::vector<Implementation<GraphicsUnderTest>> GraphicsImplementations();

// Sockets that only ever reach loopback in these tests; the fake's table holds two adapters.
std::vector<Implementation<UdpSockets>> UdpSocketsImplementations();
std::vector<Implementation<Icmp>> IcmpImplementations();
std::vector<Implementation<AdapterTable>> AdapterTableImplementations();

}  // namespace kestrava
