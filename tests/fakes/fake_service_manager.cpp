#include "tests/fakes/fake_service_manager.h"

#include <algorithm>

#include "platform/system_errors.h"

namespace kestrava {

namespace {

constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorServiceDependencyFail = 1068;  // ERROR_SERVICE_DEPENDENCY_FAIL

bool Pending(ServiceState state) {
  return state == ServiceState::kStopPending || state == ServiceState::kStartPending;
}

}  // namespace

FakeServiceManager::Service* FakeServiceManager::Find(const WString& name) {
  for (Service& service : services) {
    if (UpperAscii(service.name) == UpperAscii(name)) return &service;
  }
  return nullptr;
}

void FakeServiceManager::AddDependent(const WString& name, const WString& on, ServiceState state) {
  Service service{name, name, state};
  service.dependsOn.push_back(on);
  services.push_back(service);
}

FakeServiceManager::Service* FakeServiceManager::Named(const WString& name, uint32_t& error) {
  if (name.empty() || name.find_first_of(u"\\/") != WString::npos) {
    error = kErrorInvalidName;
    return nullptr;
  }
  Service* service = Find(name);
  if (!service) error = kErrorServiceDoesNotExist;
  return service;
}

void FakeServiceManager::Record(const std::string& call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

bool FakeServiceManager::Refuse(const std::string& call, uint32_t code, uint32_t& error) {
  error = code;
  Record(call + " refused " + std::to_string(code));
  return false;
}

std::optional<ServiceState> FakeServiceManager::StateOf(const WString& name, uint32_t& error) {
  queries.push_back(name);
  Service* service = Named(name, error);
  if (!service) return std::nullopt;
  // A pending stop or start comes to its end after the queries it takes.
  if (Pending(service->state) &&
      !(service->neverStops && service->state == ServiceState::kStopPending)) {
    if (service->remaining > 0) {
      --service->remaining;
    } else if (service->state == ServiceState::kStopPending) {
      service->state = ServiceState::kStopped;
    } else if (service->failingStarts != 0) {
      if (service->failingStarts > 0) --service->failingStarts;
      service->state = ServiceState::kStopped;
    } else {
      service->state = ServiceState::kRunning;
    }
  }
  // The service goes on whether or not this caller may see it.
  if (service->queryDenied) {
    error = kErrorAccessDenied;
    return std::nullopt;
  }
  return service->state;
}

bool FakeServiceManager::ActiveDependents(const WString& name, std::vector<WString>& out,
                                          uint32_t& error) {
  const std::string call = "dependents " + Utf16ToUtf8(name);
  if (!Named(name, error)) return Refuse(call, error, error);
  Record(call);
  out = Running(name);
  return true;
}

std::vector<WString> FakeServiceManager::Running(const WString& on) const {
  std::vector<WString> running;
  // The system lists them in the reverse of their start order; these started in list order.
  for (auto it = services.rbegin(); it != services.rend(); ++it) {
    const bool dependent =
        std::any_of(it->dependsOn.begin(), it->dependsOn.end(),
                    [&](const WString& name) { return UpperAscii(name) == UpperAscii(on); });
    if (dependent && it->state != ServiceState::kStopped) running.push_back(it->name);
  }
  return running;
}

bool FakeServiceManager::Stop(const WString& name, uint32_t& error) {
  const std::string call = "stop " + Utf16ToUtf8(name);
  Service* service = Named(name, error);
  if (!service) return Refuse(call, error, error);
  if (service->controlDenied) return Refuse(call, kErrorAccessDenied, error);
  if (service->state == ServiceState::kStopped) return Refuse(call, kErrorServiceNotActive, error);
  if (Pending(service->state)) return Refuse(call, kErrorServiceCannotAcceptControl, error);
  if (!Running(name).empty()) return Refuse(call, kErrorDependentServicesRunning, error);
  Record(call);
  service->state = ServiceState::kStopPending;
  service->remaining = service->pendingQueries;
  return true;
}

bool FakeServiceManager::Start(const WString& name, uint32_t& error) {
  const std::string call = "start " + Utf16ToUtf8(name);
  Service* service = Named(name, error);
  if (!service) return Refuse(call, error, error);
  if (service->controlDenied) return Refuse(call, kErrorAccessDenied, error);
  if (service->state != ServiceState::kStopped) {
    return Refuse(call, kErrorServiceAlreadyRunning, error);
  }
  for (const WString& on : service->dependsOn) {
    const Service* needed = Find(on);
    if (!needed || needed->state != ServiceState::kRunning) {
      return Refuse(call, kErrorServiceDependencyFail, error);
    }
  }
  Record(call);
  service->state = ServiceState::kStartPending;
  service->remaining = service->pendingQueries;
  return true;
}

}  // namespace kestrava
