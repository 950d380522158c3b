#include "platform/win32/service_manager_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

struct ServiceHandleTraits {
  using Handle = SC_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseServiceHandle(h); }
};
using ServiceHandle = win32::Scoped<ServiceHandleTraits>;

// The service opened with `access` through a manager handle that lives as long as it does; null,
// with the system's code in `error`, when either open fails.
struct OpenedService {
  ServiceHandle manager;
  ServiceHandle service;
};

bool Open(const WString& name, DWORD access, OpenedService& open, uint32_t& error) {
  open.manager.Reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!open.manager) {
    error = GetLastError();
    return false;
  }
  open.service.Reset(OpenServiceW(open.manager.Get(), win32::Wide(name), access));
  if (!open.service) {
    error = GetLastError();
    return false;
  }
  error = 0;
  return true;
}

}  // namespace

std::optional<ServiceState> Win32ServiceManager::StateOf(const WString& name, uint32_t& error) {
  OpenedService open;
  if (!Open(name, SERVICE_QUERY_STATUS, open, error)) return std::nullopt;
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(open.service.Get(), &status)) {
    error = GetLastError();
    return std::nullopt;
  }
  if (status.dwCurrentState < SERVICE_STOPPED || status.dwCurrentState > SERVICE_PAUSED) {
    error = ERROR_INVALID_DATA;
    return std::nullopt;
  }
  return static_cast<ServiceState>(status.dwCurrentState);
}

bool Win32ServiceManager::ActiveDependents(const WString& name, std::vector<WString>& out,
                                           uint32_t& error) {
  OpenedService open;
  if (!Open(name, SERVICE_ENUMERATE_DEPENDENTS, open, error)) return false;
  DWORD needed = 0;
  DWORD count = 0;
  // The size is asked first; a service on which nothing depends answers at once.
  if (EnumDependentServicesW(open.service.Get(), SERVICE_ACTIVE, nullptr, 0, &needed, &count)) {
    out.clear();
    return true;
  }
  if (GetLastError() != ERROR_MORE_DATA) {
    error = GetLastError();
    return false;
  }
  // Room for whole records: the names the records point to lie in the same buffer.
  std::vector<ENUM_SERVICE_STATUSW> buffer(needed / sizeof(ENUM_SERVICE_STATUSW) + 1);
  const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(ENUM_SERVICE_STATUSW));
  if (!EnumDependentServicesW(open.service.Get(), SERVICE_ACTIVE, buffer.data(), size, &needed,
                              &count)) {
    error = GetLastError();
    return false;
  }
  out.clear();
  for (DWORD i = 0; i < count; ++i) out.push_back(win32::FromWide(buffer[i].lpServiceName));
  return true;
}

bool Win32ServiceManager::Stop(const WString& name, uint32_t& error) {
  OpenedService open;
  if (!Open(name, SERVICE_STOP, open, error)) return false;
  SERVICE_STATUS status{};
  if (!ControlService(open.service.Get(), SERVICE_CONTROL_STOP, &status)) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool Win32ServiceManager::Start(const WString& name, uint32_t& error) {
  OpenedService open;
  if (!Open(name, SERVICE_START, open, error)) return false;
  if (!StartServiceW(open.service.Get(), 0, nullptr)) {
    error = GetLastError();
    return false;
  }
  return true;
}

}  // namespace kestrava
