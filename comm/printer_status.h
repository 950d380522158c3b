// The printer's own status, from its answers to the real-time status requests DLE EOT n
// (10 04 n): n = 4 the paper roll sensor, 2 the off-line cause, 3 the error cause. Each answer
// is one byte whose fixed bits tell it from noise: bit 1 set, bits 0, 4 and 7 as the command
// reference gives them (0, 1, 0). A byte with wrong fixed bits is no answer.
//
//   DLE EOT 4  bits 2 and 3: paper near its end; bits 5 and 6: paper end
//   DLE EOT 2  bit 2: cover open; bit 3: paper fed with the feed button; bit 5: printing
//              stopped at the paper's end; bit 6: an error
//   DLE EOT 3  bit 3: cutter error; bit 5: unrecoverable error; bit 6: recoverable error
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrava {

inline constexpr uint8_t kPaperSensorRequest[] = {0x10, 0x04, 0x04};
inline constexpr uint8_t kOfflineCauseRequest[] = {0x10, 0x04, 0x02};
inline constexpr uint8_t kErrorCauseRequest[] = {0x10, 0x04, 0x03};

enum class PrinterCondition {
  kReady,
  kPaperNearEnd,  // no fault: the printer still prints
  kPaperEnd,
  kCoverOpen,
  kOffline,  // off line for another cause (the feed button, a recoverable error)
  kCutterError,
  kUnrecoverableError,
};

// The answers as they came: nothing where the printer gave no valid one.
struct StatusAnswers {
  std::optional<uint8_t> paperSensor;
  std::optional<uint8_t> offlineCause;
  std::optional<uint8_t> errorCause;
};

// The answer byte of a reply to one request: the reply must be exactly one byte with the fixed
// bits right; anything else (nothing, several bytes, noise) is no answer.
std::optional<uint8_t> StatusAnswer(const std::string& reply);

// The printer's condition, the worst its answers tell: unrecoverable and cutter errors, then
// the cover, the paper's end, off line, and last the paper near its end. Nothing when the
// paper sensor gave no answer (a printer that does not answer on this interface).
std::optional<PrinterCondition> ConditionOf(const StatusAnswers& answers);

// Whether a condition is a fault the user is told about.
bool IsFault(PrinterCondition condition);

}  // namespace kestrava
