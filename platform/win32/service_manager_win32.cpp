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

}  // namespace

std::optional<ServiceState> Win32ServiceManager::StateOf(const WString& name, uint32_t& error) {
  win32::Scoped<ServiceHandleTraits> manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) {
    error = GetLastError();
    return std::nullopt;
  }
  win32::Scoped<ServiceHandleTraits> service(
      OpenServiceW(manager.Get(), win32::Wide(name), SERVICE_QUERY_STATUS));
  if (!service) {
    error = GetLastError();
    return std::nullopt;
  }
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

}  // namespace kestrava
