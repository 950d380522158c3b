#include "app/command_line/option_words.h"

#include "platform/local_text.h"

namespace kestrava {

std::optional<OptionWord> OptionOf(const WString& word) {
  size_t start = 0;
  if (word.compare(0, 2, u"--") == 0) {
    start = 2;
  } else if (!word.empty() && (word[0] == u'/' || word[0] == u'-')) {
    start = 1;
  } else {
    return std::nullopt;
  }
  OptionWord option;
  const size_t separator = word.find_first_of(u"=:", start);
  option.name = UpperAscii(word.substr(start, separator - start));
  if (separator != WString::npos) option.inlineValue = word.substr(separator + 1);
  return option;
}

bool IsHelpWord(const WString& word) {
  const std::optional<OptionWord> option = OptionOf(word);
  const WString name = option ? option->name : UpperAscii(word);
  return name == u"?" || name == u"HELP" || (option && name == u"H");
}

}  // namespace kestrava
