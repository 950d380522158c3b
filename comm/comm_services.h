// The services the printer communication is built on, handed down by the application.
#pragma once

#include "platform/arp_table.h"
#include "platform/clock.h"
#include "platform/device_interfaces.h"
#include "platform/device_io.h"
#include "platform/dialog_host.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/screen_gdi.h"
#include "platform/system_info.h"
#include "platform/tcp_sockets.h"

namespace kestrava {

struct CommServices {
  DeviceInterfaces& deviceInterfaces;
  DeviceIo& deviceIo;
  Registry& registry;
  TcpSockets& sockets;
  ArpTable& arpTable;
  ScreenGdi& screenGdi;
  Clock& clock;
  Process& process;    // traces
  SystemInfo& system;  // the ANSI code page of text sent to printers
  // The dialog the commands run in: its button timer and wait cursor, its message boxes.
  DialogHost& dialog;
};

}  // namespace kestrava
