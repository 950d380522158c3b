#include "app/command_line/unattended_host.h"

namespace kestrava {

Answer UnattendedHost::ShowMessage(const WString& text, MessageKind kind) {
  // A box's text may run over several lines; the output keeps one line per message.
  WString line;
  for (WChar c : text) {
    if (c == u'\r') continue;
    if (c == u'\n' || c == u'\t') {
      if (!line.empty() && line.back() != u' ') line += u' ';
      continue;
    }
    line += c;
  }
  while (!line.empty() && line.back() == u' ') line.pop_back();
  showLine_(line);
  return kind == MessageKind::kQuestion ? Answer::kNo : Answer::kOk;
}

}  // namespace kestrava
