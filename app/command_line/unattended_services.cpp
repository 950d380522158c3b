#include "app/command_line/unattended_services.h"

#include <string>

namespace kestrava {

std::optional<uint32_t> QuietShell::RunHiddenAndWait(const WString& program,
                                                     const WString& parameters, uint32_t timeoutMs,
                                                     WString* output) {
  WString said;
  const std::optional<uint32_t> exitCode =
      shell_.RunHiddenAndWait(program, parameters, timeoutMs, &said);
  const WString outcome = exitCode ? u"exit code " + WidenAscii(std::to_string(*exitCode))
                                   : WString(u"did not start or did not end in time");
  logLine_(u"command: " + program + u" " + parameters + u": " + outcome);
  WString line;
  for (WChar c : said + u"\n") {
    if (c != u'\r' && c != u'\n') {
      line += c;
      continue;
    }
    if (!WithoutTrailingSpace(line).empty()) logLine_(u"output: " + WithoutTrailingSpace(line));
    line.clear();
  }
  if (output) *output = said;
  return exitCode;
}

}  // namespace kestrava
