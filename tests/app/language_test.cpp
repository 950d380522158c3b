#include "app/language.h"

#include <gtest/gtest.h>

#include "app/application.h"

namespace kestrava {
namespace {

struct LanguageRow {
  uint16_t userLanguage;
  int32_t uiLanguage;              // after the start-up rule
  const char16_t* secondInstance;  // by the raw identifier
};

TEST(Language, StartupRuleAndSecondInstanceMessage) {
  const LanguageRow rows[] = {
      {2052, 2052, u"应用程序已打开"},
      {1033, 1033, u"Application is open"},
      {1041, 1041, u"アプリケーションは開いています"},
      {1028, 1033, u"Application is open"},  // Chinese (Taiwan)
      {4100, 1033, u"Application is open"},  // Chinese (Singapore)
      {3076, 1033, u"Application is open"},  // Chinese (Hong Kong)
      {1042, 1033, u"Application is open"},  // Korean
      {3082, 1033, u"Application is open"},  // Spanish
      {2057, 1033, u"Application is open"},  // English (United Kingdom)
      {0, 1033, u"Application is open"},
  };
  for (const LanguageRow& row : rows) {
    EXPECT_EQ(row.uiLanguage, StartupLanguage(row.userLanguage)) << row.userLanguage;
    EXPECT_EQ(WString(row.secondInstance), SecondInstanceMessage(row.userLanguage))
        << row.userLanguage;
  }
}

TEST(Language, ListItemsMapBothWays) {
  for (int32_t language : {kChinese, kEnglish, kJapanese}) {
    EXPECT_EQ(language, LanguageOfListItem(LanguageListItem(language)));
  }
  EXPECT_EQ(kEnglish, LanguageOfListItem(-1)) << "no selection";
  EXPECT_EQ(kEnglish, LanguageOfListItem(3));
  EXPECT_EQ(1, LanguageListItem(1042));
}

}  // namespace
}  // namespace kestrava
