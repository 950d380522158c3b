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

}  // namespace

Win32ServiceManager::~Win32ServiceManager() {
  if (manager_) CloseServiceHandle(static_cast<SC_HANDLE>(manager_));
}

void* Win32ServiceManager::OpenNamed(const WString& name, uint32_t access, uint32_t& error) {
  if (!manager_) manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager_) {
    error = GetLastError();
    return nullptr;
  }
  SC_HANDLE service = OpenServiceW(static_cast<SC_HANDLE>(manager_), win32::Wide(name), access);
  error = service ? 0 : GetLastError();
  return service;
}

std::optional<ServiceState> Win32ServiceManager::StateOf(const WString& name, uint32_t& error) {
  ServiceHandle service(static_cast<SC_HANDLE>(OpenNamed(name, SERVICE_QUERY_STATUS, error)));
  if (!service) return std::nullopt;
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service.Get(), &status)) {
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
  ServiceHandle service(
      static_cast<SC_HANDLE>(OpenNamed(name, SERVICE_ENUMERATE_DEPENDENTS, error)));
  if (!service) return false;
  DWORD needed = 0;
  DWORD count = 0;
  // The size is asked first; a service on which nothing depends answers at once.
  if (EnumDependentServicesW(service.Get(), SERVICE_ACTIVE, nullptr, 0, &needed, &count)) {
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
  if (!EnumDependentServicesW(service.Get(), SERVICE_ACTIVE, buffer.data(), size, &needed,
                              &count)) {
    error = GetLastError();
    return false;
  }
  out.clear();
  for (DWORD i = 0; i < count; ++i) out.push_back(win32::FromWide(buffer[i].lpServiceName));
  return true;
}

bool Win32ServiceManager::Stop(const WString& name, uint32_t& error) {
  ServiceHandle service(static_cast<SC_HANDLE>(OpenNamed(name, SERVICE_STOP, error)));
  if (!service) return false;
  SERVICE_STATUS status{};
  if (!ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
    error = GetLastError();
    return false;
  }
  return true;
}

bool Win32ServiceManager::Start(const WString& name, uint32_t& error) {
  ServiceHandle service(static_cast<SC_HANDLE>(OpenNamed(name, SERVICE_START, error)));
  if (!service) return false;
  if (!StartServiceW(service.Get(), 0, nullptr)) {
    error = GetLastError();
    return false;
  }
  return true;
}

}  // namespace kestrava
