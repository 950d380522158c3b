#include "app/language.h"

namespace kestrava {

int32_t StartupLanguage(uint16_t userDefaultUiLanguage) {
  const int32_t language = userDefaultUiLanguage;
  return language == kChinese || language == kJapanese ? language : kEnglish;
}

int LanguageListItem(int32_t language) {
  if (language == kChinese) return 0;
  if (language == kJapanese) return 2;
  return 1;
}

int32_t LanguageOfListItem(int item) {
  if (item == 0) return kChinese;
  if (item == 2) return kJapanese;
  return kEnglish;
}

}  // namespace kestrava
