#include "platform/win32/ip_helper_library.h"

#include "platform/win32/system_library.h"

namespace kestrava::win32::iphelp {

namespace {

// Loaded at the first call of any of its functions, and kept.
HMODULE IpHelper() {
  static const HMODULE module = LoadSystemLibrary(L"iphlpapi.dll");
  return module;
}

}  // namespace

#define IP_HELPER_FUNCTION(name) static const auto call = KESTRAVA_SYSTEM_FUNCTION(IpHelper(), name)

ULONG GetAdaptersInfo(PIP_ADAPTER_INFO adapters, PULONG size) {
  IP_HELPER_FUNCTION(GetAdaptersInfo);
  return call ? call(adapters, size) : MissingFunction<ULONG>(ERROR_PROC_NOT_FOUND);
}

ULONG GetIpNetTable(PMIB_IPNETTABLE table, PULONG size, BOOL sorted) {
  IP_HELPER_FUNCTION(GetIpNetTable);
  return call ? call(table, size, sorted) : MissingFunction<ULONG>(ERROR_PROC_NOT_FOUND);
}

DWORD FlushIpNetTable(DWORD interfaceIndex) {
  IP_HELPER_FUNCTION(FlushIpNetTable);
  return call ? call(interfaceIndex) : MissingFunction<DWORD>(ERROR_PROC_NOT_FOUND);
}

HANDLE IcmpCreateFile() {
  IP_HELPER_FUNCTION(IcmpCreateFile);
  return call ? call() : MissingFunction(INVALID_HANDLE_VALUE);
}

BOOL IcmpCloseHandle(HANDLE icmp) {
  IP_HELPER_FUNCTION(IcmpCloseHandle);
  return call ? call(icmp) : MissingFunction(FALSE);
}

DWORD IcmpSendEcho(HANDLE icmp, IPAddr destination, LPVOID request, WORD requestSize,
                   PIP_OPTION_INFORMATION options, LPVOID reply, DWORD replySize, DWORD timeoutMs) {
  IP_HELPER_FUNCTION(IcmpSendEcho);
  return call ? call(icmp, destination, request, requestSize, options, reply, replySize, timeoutMs)
              : MissingFunction<DWORD>(0);
}

#undef IP_HELPER_FUNCTION

}  // namespace kestrava::win32::iphelp
