// Every Win32 service but the dialog host, built the way the program builds them: for the
// entry point and for the test programs that drive the logic over the real system.
#pragma once

#include "app/services.h"
#include "platform/console_output.h"
#include "platform/win32/adapters_win32.h"
#include "platform/win32/arp_table_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/console_api_win32.h"
#include "platform/win32/device_interfaces_win32.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/file_security_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/icmp_win32.h"
#include "platform/win32/print_graphics_win32.h"
#include "platform/win32/print_spooler_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_gdi_win32.h"
#include "platform/win32/service_manager_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/tcp_sockets_win32.h"
#include "platform/win32/udp_socket_win32.h"

namespace kestrava {

struct Win32Services {
  // The services, with `dialog` as the dialog host.
  Services With(DialogHost& dialog) {
    return Services{dialog,  system,   files,     process, clock,    registry,         udp,
                    icmp,    adapters, spooler,   shell,   graphics, deviceInterfaces, deviceIo,
                    sockets, arpTable, screenGdi, console, security, serviceManager};
  }

  Win32SystemInfo system;
  Win32Files files;
  Win32Process process;
  Win32Clock clock;
  Win32Registry registry;
  Win32UdpSockets udp;
  Win32Icmp icmp;
  Win32AdapterTable adapters;
  Win32PrintSpooler spooler;
  Win32Shell shell;
  Win32PrintGraphics graphics;
  Win32DeviceInterfaces deviceInterfaces;
  Win32DeviceIo deviceIo;
  Win32TcpSockets sockets;
  Win32ArpTable arpTable;
  Win32ScreenGdi screenGdi;
  Win32FileSecurity security;
  Win32ConsoleApi consoleApi;
  ConsoleOutput console{consoleApi};
  Win32ServiceManager serviceManager;
};

}  // namespace kestrava
