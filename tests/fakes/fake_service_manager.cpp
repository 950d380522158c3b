#include "tests/fakes/fake_service_manager.h"

namespace kestrava {

namespace {

constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorServiceDoesNotExist = 1060;

}  // namespace

FakeServiceManager::Service* FakeServiceManager::Find(const WString& name) {
  for (Service& service : services) {
    if (UpperAscii(service.name) == UpperAscii(name)) return &service;
  }
  return nullptr;
}

std::optional<ServiceState> FakeServiceManager::StateOf(const WString& name, uint32_t& error) {
  queries.push_back(name);
  if (name.empty() || name.find_first_of(u"\\/") != WString::npos) {
    error = kErrorInvalidName;
    return std::nullopt;
  }
  const Service* service = Find(name);
  if (!service) {
    error = kErrorServiceDoesNotExist;
    return std::nullopt;
  }
  if (service->queryDenied) {
    error = kErrorAccessDenied;
    return std::nullopt;
  }
  return service->state;
}

}  // namespace kestrava
