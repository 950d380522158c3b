// The operating-system services the application is built on, handed down from the entry point
// (the Win32 implementations) or from a test (the fakes).
#pragma once

#include "install/engine_services.h"
#include "platform/adapters.h"
#include "platform/arp_table.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/device_interfaces.h"
#include "platform/device_io.h"
#include "platform/dialog_host.h"
#include "platform/file_security.h"
#include "platform/files.h"
#include "platform/icmp.h"
#include "platform/print_graphics.h"
#include "platform/print_spooler.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/screen_gdi.h"
#include "platform/service_manager.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/tcp_sockets.h"
#include "platform/udp_socket.h"

namespace kestrava {

struct Services {
  DialogHost& dialog;
  SystemInfo& system;
  Files& files;
  Process& process;
  Clock& clock;
  Registry& registry;
  UdpSockets& udp;
  Icmp& icmp;
  AdapterTable& adapters;
  PrintSpooler& spooler;
  Shell& shell;
  PrintGraphics& graphics;
  DeviceInterfaces& deviceInterfaces;
  DeviceIo& deviceIo;
  TcpSockets& sockets;
  ArpTable& arpTable;
  ScreenGdi& screenGdi;
  Console& console;
  FileSecurity& security;
  ServiceManager& serviceManager;
};

// The services the installation engine works through.
inline EngineServices EngineServicesOf(const Services& services) {
  return EngineServices{services.system,        services.files,    services.process,
                        services.clock,         services.registry, services.spooler,
                        services.shell,         services.graphics, services.dialog,
                        services.serviceManager};
}

}  // namespace kestrava
