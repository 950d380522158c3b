#include "platform/process.h"

namespace kestrava {

namespace {

void AppendQuoted(const WString& word, WString& line) {
  if (!word.empty() && word.find_first_of(u" \t\"") == WString::npos) {
    line += word;
    return;
  }
  line += u'"';
  size_t backslashes = 0;
  for (WChar c : word) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only before a quote.
    line.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, u'\\');
  line += u'"';
}

}  // namespace

WString QuotedArguments(const std::vector<WString>& arguments) {
  WString line;
  for (const WString& word : arguments) {
    if (!line.empty()) line += u' ';
    AppendQuoted(word, line);
  }
  return line;
}

}  // namespace kestrava
