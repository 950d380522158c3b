// The dialog's language: the one it starts in and the items of its language list.
#pragma once

#include <cstdint>

#include "platform/local_text.h"

namespace kestrava {

// The start-up rule: 2052, 1033 and 1041 stand; every other identifier, regional variants of
// Chinese included, becomes English.
int32_t StartupLanguage(uint16_t userDefaultUiLanguage);

// Items of the language list: 0 "Chinese", 1 "English", 2 "Japanese".
int LanguageListItem(int32_t language);
// The language of a list item; no selection or any other item is English.
int32_t LanguageOfListItem(int item);

}  // namespace kestrava
