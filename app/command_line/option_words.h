// How a word of the command line is spelled: an option or a command word ("--name", "/name",
// "-name") with its value after "=" or ":", and the words that ask for the usage.
#pragma once

#include <optional>

#include "platform/text.h"

namespace kestrava {

// One option: its name (upper-cased, without its prefix) and its value when it has one.
struct OptionWord {
  WString name;
  std::optional<WString> inlineValue;
};

// The option `word` spells, nothing for a word with no option prefix.
std::optional<OptionWord> OptionOf(const WString& word);

// "/?", "-?", "--help", "/help", "-h", "help" and the like, case ignored.
bool IsHelpWord(const WString& word);

}  // namespace kestrava
