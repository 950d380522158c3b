// Arbitrary replies to the real-time status requests: the first byte splits the input into the
// replies to DLE EOT 4, 2 and 3 (each its length, two bits of it), and the parser must never
// crash, must take only one-byte replies whose fixed bits are right, and must tell a condition
// only when the paper sensor answered.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comm/port_messages.h"
#include "comm/printer_status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  if (size == 0) return 0;
  const uint8_t lengths = data[0];
  size_t at = 1;
  std::optional<uint8_t> answers[3];
  for (int i = 0; i < 3; ++i) {
    const size_t length = (lengths >> (2 * i)) & 0x3;
    const std::string reply(reinterpret_cast<const char*>(data) + std::min(at, size),
                            std::min(length, size - std::min(at, size)));
    at += length;
    answers[i] = StatusAnswer(reply);
    if (answers[i] && (reply.size() != 1 || (*answers[i] & 0x93) != 0x12)) std::abort();
  }
  const std::optional<PrinterCondition> condition =
      ConditionOf({answers[0], answers[1], answers[2]});
  if (condition.has_value() != answers[0].has_value()) std::abort();
  if (condition) {
    for (int32_t language : {2052, 1033, 1041}) {
      if (IsFault(*condition) == PrinterFaultMessage(*condition, language).empty()) std::abort();
      if (ConditionName(*condition, language).empty()) std::abort();
    }
  }
  return 0;
}
