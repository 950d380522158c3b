#include "app/dialog/message_table.h"

#include "app/language.h"

namespace kestrava {

namespace {

constexpr LocalText kTestPageText = {
    u"                 \r\n\r\n\r\n\r\n\r\n        恭喜！      \r\n如果您可以读取这个 \r\n"
    u"信息，说明打印机驱 \r\n动已经安装成功了！  \r\n感谢您的使用！  \r\n\r\n打印机名称：\r\n"
    u"\r\n\r\n\r\n\r\n   ** 测试页结束 **\r\n",
    u"               .  \r\n\r\n\r\n\r\n\r\nCongratulations\uFF0C   \r\n\r\nadding printer "
    u"successfully \r\n\r\n \r\n\r\nPrinter Name:\r\n\r\n\r\n\r\n\r\n ** Test page end **\r\n",
    u"               .  \r\n\r\n\r\n\r\n\r\n         おめでとう！  \r\n"
    u"あなたがこれを読むことができるなら\r\nプリンタドライバを説明するメッセージ\r\n"
    u"移動は正常にインストールされました！\r\nご利用いただきありがとうございます！\r\n\r\n"
    u"プリンター名：\r\n\r\n\r\n\r\n\r\n**テストページの終わり**\r\n",
};

constexpr LocalText kOsMessageFormat = {
    u"您正使用的是%s %s系统。\n推荐选择%s进行安装。",
    u"You are using %s %s OS.\nPlease select %s to install.",
    u"%s %sシステムを使用しています。\nインストールには%sを選択することをお勧めします。",
};

}  // namespace

void MessageTable::Fill(int32_t language) {
  testPageText = kTestPageText.For(language);
}

WString FormatOsMessage(int32_t language, const WString& osName, const WString& archName) {
  return FormatText(kOsMessageFormat.For(language), {osName, archName, osName});
}

}  // namespace kestrava
