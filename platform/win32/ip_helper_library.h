// The IP helper's functions of iphlpapi.dll, which is no KnownDLL: loaded at run time from the
// system folder only (system_library.h). Each has the name and the signature of the system's
// function; where the library or the function is missing, the call fails as the system's would:
// the functions that return an error code return ERROR_PROC_NOT_FOUND, IcmpCreateFile returns
// INVALID_HANDLE_VALUE and IcmpSendEcho no replies, with ERROR_PROC_NOT_FOUND as the last error.
#pragma once

#include "platform/win32/win32.h"

namespace kestrava::win32::iphelp {

ULONG GetAdaptersInfo(PIP_ADAPTER_INFO adapters, PULONG size);
ULONG GetIpNetTable(PMIB_IPNETTABLE table, PULONG size, BOOL sorted);
DWORD FlushIpNetTable(DWORD interfaceIndex);
HANDLE IcmpCreateFile();
BOOL IcmpCloseHandle(HANDLE icmp);
DWORD IcmpSendEcho(HANDLE icmp, IPAddr destination, LPVOID request, WORD requestSize,
                   PIP_OPTION_INFORMATION options, LPVOID reply, DWORD replySize, DWORD timeoutMs);

}  // namespace kestrava::win32::iphelp
