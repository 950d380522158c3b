// The operating-system services the application is built on, handed down from the entry point
// (the Win32 implementations) or from a test (the fakes).
#pragma once

#include "platform/arp_table.h"
#include "platform/clock.h"
#include "platform/device_interfaces.h"
#include "platform/device_io.h"
#include "platform/dialog_host.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/screen_gdi.h"
#include "platform/system_info.h"
#include "platform/tcp_sockets.h"

namespace kestrava {

struct Services {
  DialogHost& dialog;
  SystemInfo& system;
  Files& files;
  Process& process;
  Clock& clock;
  Registry& registry;
  DeviceInterfaces& deviceInterfaces;
  DeviceIo& deviceIo;
  TcpSockets& sockets;
  ArpTable& arpTable;
  ScreenGdi& screenGdi;
};

}  // namespace kestrava
