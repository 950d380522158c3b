// The one doorway to the Windows headers: nothing else includes <windows.h>.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif

// The order matters: winsock2.h before windows.h, as Winsock 2 requires; the headers of the
// other system libraries (common controls, IP helper, print spooler, shell, terminal services,
// access control)
// after it, and icmpapi.h after iphlpapi.h, whose types it uses.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#include <winspool.h>
#include <shellapi.h>
#include <wtsapi32.h>
#include <shlobj.h>
#include <aclapi.h>
#include <sddl.h>
// clang-format on

#include "platform/text.h"

namespace kestrava::win32 {

static_assert(sizeof(wchar_t) == sizeof(WChar), "Windows wide text is 16-bit");

inline const wchar_t* Wide(const WString& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline WString FromWide(const wchar_t* text) {
  return text ? WString(reinterpret_cast<const WChar*>(text)) : WString();
}
inline WString FromWide(const wchar_t* text, size_t length) {
  return WString(reinterpret_cast<const WChar*>(text), length);
}

// An IPv4 socket address of an address and port in host order.
inline sockaddr_in SocketAddress(uint32_t address, uint16_t port) {
  sockaddr_in endpoint{};
  endpoint.sin_family = AF_INET;
  endpoint.sin_addr.s_addr = htonl(address);
  endpoint.sin_port = htons(port);
  return endpoint;
}

}  // namespace kestrava::win32
