// Entry point of the Windows program: builds the Win32 services and hands over to the
// application.
#include "app/application.h"
#include "platform/win32/adapters_win32.h"
#include "platform/win32/arp_table_win32.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/device_interfaces_win32.h"
#include "platform/win32/device_io_win32.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/icmp_win32.h"
#include "platform/win32/print_graphics_win32.h"
#include "platform/win32/print_spooler_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/screen_gdi_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/tcp_sockets_win32.h"
#include "platform/win32/udp_socket_win32.h"
#include "platform/win32/win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  kestrava::Win32DialogHost dialog;
  kestrava::Win32SystemInfo system;
  kestrava::Win32Files files;
  kestrava::Win32Process process;
  kestrava::Win32Clock clock;
  kestrava::Win32Registry registry;
  kestrava::Win32UdpSockets udp;
  kestrava::Win32Icmp icmp;
  kestrava::Win32AdapterTable adapters;
  kestrava::Win32PrintSpooler spooler;
  kestrava::Win32Shell shell;
  kestrava::Win32PrintGraphics graphics;
  kestrava::Win32DeviceInterfaces deviceInterfaces;
  kestrava::Win32DeviceIo deviceIo;
  kestrava::Win32TcpSockets sockets;
  kestrava::Win32ArpTable arpTable;
  kestrava::Win32ScreenGdi screenGdi;
  kestrava::CBrevantApp app({dialog, system, files, process, clock, registry, udp, icmp, adapters,
                             spooler, shell, graphics, deviceInterfaces, deviceIo, sockets,
                             arpTable, screenGdi});
  return app.InitApplicationInstance() ? 1 : 0;
}
