// The values of a Standard TCP/IP port as an installation leaves them, in the order written.
#pragma once

#include <utility>
#include <vector>

#include "platform/registry.h"

namespace kestrava {

inline std::vector<std::pair<WString, RegistryValue>> TcpIpPortValues(const WString& address,
                                                                      uint32_t version) {
  return {
      {u"HostName", RegistryValue::String(address)},
      {u"HWAddress", RegistryValue::String(u"")},
      {u"IPAddress", RegistryValue::String(u"")},
      {u"PortMonMibPortIndex", RegistryValue::Dword(0)},
      {u"PortNumber", RegistryValue::Dword(9100)},
      {u"Protocol", RegistryValue::Dword(1)},
      {u"SNMP Community", RegistryValue::String(u"kelnor")},
      {u"SNMP Enabled", RegistryValue::Dword(0)},
      {u"SNMP Index", RegistryValue::Dword(1)},
      {u"Version", RegistryValue::Dword(version)},
  };
}

}  // namespace kestrava
