#include "comm/printer_status.h"

namespace kestrava {

namespace {

constexpr uint8_t kFixedMask = 0x93;   // bits 0, 1, 4 and 7
constexpr uint8_t kFixedValue = 0x12;  // bit 1 and bit 4 set, bits 0 and 7 clear

bool Both(uint8_t answer, uint8_t bits) {
  return (answer & bits) == bits;
}

}  // namespace

std::optional<uint8_t> StatusAnswer(const std::string& reply) {
  if (reply.size() != 1) return std::nullopt;
  const auto answer = static_cast<uint8_t>(reply[0]);
  if ((answer & kFixedMask) != kFixedValue) return std::nullopt;
  return answer;
}

std::optional<PrinterCondition> ConditionOf(const StatusAnswers& answers) {
  if (!answers.paperSensor) return std::nullopt;
  const uint8_t paper = *answers.paperSensor;
  if (answers.errorCause) {
    if (*answers.errorCause & 0x20) return PrinterCondition::kUnrecoverableError;
    if (*answers.errorCause & 0x08) return PrinterCondition::kCutterError;
  }
  if (answers.offlineCause) {
    const uint8_t cause = *answers.offlineCause;
    if (cause & 0x04) return PrinterCondition::kCoverOpen;
    if (cause & 0x20) return PrinterCondition::kPaperEnd;
  }
  if (Both(paper, 0x60)) return PrinterCondition::kPaperEnd;
  if (answers.offlineCause && (*answers.offlineCause & 0x48)) return PrinterCondition::kOffline;
  if (answers.errorCause && (*answers.errorCause & 0x40)) return PrinterCondition::kOffline;
  if (Both(paper, 0x0C)) return PrinterCondition::kPaperNearEnd;
  return PrinterCondition::kReady;
}

bool IsFault(PrinterCondition condition) {
  return condition != PrinterCondition::kReady && condition != PrinterCondition::kPaperNearEnd;
}

}  // namespace kestrava
