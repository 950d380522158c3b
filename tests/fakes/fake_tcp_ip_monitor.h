// The Standard TCP/IP Port monitor as the spooler hands it out, held to its rules: it opens
// only for a caller that may administer the spooler (ERROR_ACCESS_DENIED otherwise); "AddPort"
// and "ConfigPort" take a PORT_DATA_1 of exactly its size, version 1, that size in its own size
// field and a protocol of raw (1) or LPR (2), and "DeletePort" a DELETE_PORT_DATA_1 of version
// 1 (ERROR_INVALID_PARAMETER otherwise, and for a command it does not know); a port it has is
// not added again (ERROR_ALREADY_EXISTS), one it does not have cannot be configured or deleted
// (ERROR_UNKNOWN_PORT), and one a printer is on is not deleted (ERROR_BUSY). Names compare
// without case. Every command is recorded with the port it names.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/print_spooler.h"

namespace kestrava {

struct FakeTcpIpMonitor {
  bool openDenied = false;  // the caller is no administrator
  uint32_t refuseWith = 0;  // when set, every command's status
  // The ports it has, by upper-case name: the PORT_DATA_1 each was last added or configured with.
  std::map<WString, std::vector<uint8_t>> ports;
  // "AddPort 10.0.0.5", "ConfigPort 10.0.0.5", "DeletePort 10.0.0.5 refused 170", ...
  std::vector<std::string> commands;
  // Whether a printer is on the port (the spooler's printers); none when unset.
  std::function<bool(const WString& port)> portInUse;

  // The answer to one XcvData call.
  uint32_t Take(const WString& command, const std::vector<uint8_t>& input);

 private:
  uint32_t Answer(const WString& command, const std::vector<uint8_t>& input);
};

// A session on the monitor, as OpenPortMonitor hands it out.
class FakeTcpIpMonitorSession final : public PortMonitorSession {
 public:
  explicit FakeTcpIpMonitorSession(FakeTcpIpMonitor& monitor) : monitor_(monitor) {}
  bool Data(const WString& command, const std::vector<uint8_t>& input, uint32_t& status,
            uint32_t* error) override;

 private:
  FakeTcpIpMonitor& monitor_;
};

// The zero-terminated UTF-16 text of `chars` characters at most at byte `at` of `record`.
WString RecordText(const std::vector<uint8_t>& record, size_t at, size_t chars);
// The little-endian DWORD at byte `at`.
uint32_t RecordDword(const std::vector<uint8_t>& record, size_t at);

}  // namespace kestrava
