// The three UI languages and the one lookup rule every text of every layer follows: Chinese for
// 2052, Japanese for 1041, English for every other identifier.
#pragma once

#include <cstdint>

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

}  // namespace kestrava
