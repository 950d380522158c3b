// The three UI languages and the one lookup rule every text follows: Chinese for 2052,
// Japanese for 1041, English for every other identifier.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace kestrava {

inline constexpr int32_t kChinese = 2052;
inline constexpr int32_t kEnglish = 1033;
inline constexpr int32_t kJapanese = 1041;

// A text in each language.
struct LocalText {
  const char16_t* chinese;
  const char16_t* english;
  const char16_t* japanese;

  const char16_t* For(int32_t language) const {
    if (language == kChinese) return chinese;
    if (language == kJapanese) return japanese;
    return english;
  }
};

// The start-up rule: 2052, 1033 and 1041 stand; every other identifier, regional variants of
// Chinese included, becomes English.
int32_t StartupLanguage(uint16_t userDefaultUiLanguage);

// Items of the language list: 0 "Chinese", 1 "English", 2 "Japanese".
int LanguageListItem(int32_t language);
// The language of a list item; no selection or any other item is English.
int32_t LanguageOfListItem(int item);

}  // namespace kestrava
