// Every fake service but the dialog host, for tests that build the application or the dialog
// the way the program does.
#pragma once

#include "app/services.h"
#include "tests/fakes/fake_adapters.h"
#include "tests/fakes/fake_arp_table.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_device_interfaces.h"
#include "tests/fakes/fake_device_io.h"
#include "tests/fakes/fake_file_security.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_icmp.h"
#include "tests/fakes/fake_print_graphics.h"
#include "tests/fakes/fake_print_spooler.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_screen_gdi.h"
#include "tests/fakes/fake_service_manager.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_system_info.h"
#include "tests/fakes/fake_tcp_sockets.h"
#include "tests/fakes/fake_udp_socket.h"

namespace kestrava {

struct FakeServices {
  // The services, with `dialog` as the dialog host.
  Services With(DialogHost& dialog) {
    return Services{dialog,  system,   files,     process, clock,    registry,         udp,
                    icmp,    adapters, spooler,   shell,   graphics, deviceInterfaces, deviceIo,
                    sockets, arpTable, screenGdi, console, security, serviceManager};
  }

  FakeSystemInfo system;
  FakeFiles files;
  FakeProcess process;
  FakeClock clock;
  FakeRegistry registry;
  FakeUdpSockets udp{&clock, &adapters};
  FakeIcmp icmp{&clock};
  FakeAdapterTable adapters;
  FakePrintSpooler spooler;
  FakeShell shell;
  FakePrintGraphics graphics;
  FakeDeviceInterfaces deviceInterfaces;
  // Reads that are never answered and connects that run out take their time on the clock.
  FakeDeviceIo deviceIo{&clock};
  FakeTcpSockets sockets{&clock};
  FakeArpTable arpTable;
  FakeScreenGdi screenGdi;
  FakeConsole console;
  // The security descriptors of `files`' files and folders.
  FakeFileSecurity security{files};
  FakeServiceManager serviceManager;
};

}  // namespace kestrava
