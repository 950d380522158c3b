#include "app/dialog/captions.h"

namespace kestrava {

// clang-format off
const Caption kCaptions[kCaptionCount] = {
    {kWindowTitle, {u"安装票据打印机驱动", u"Install Receipt Printer Driver", u"構成のインストール"}},
    {1055, {u"票据打印机", u"Receipt printer", u"レシートプリンター"}},
    {1022, {u"选择您的操作系统", u"Select Windows OS", u"WindowsOSを選択します"}},
    {1033, {u"打印机接口:", u"Printer Interface :", u"プリンタインターフェース："}},
    {1018, {u"是否设置成默认打印机", u"Set Default Printer", u"デフォルトのプリンタを設定する"}},
    {1019, {u"开始安装", u"Install Driver", u"今すぐインストール"}},
    {1027, {u"检测端口", u"Check Port", u"ポートを確認"}},
    {1047, {u"打印自检页", u"PrintSelftest", u"情報を印刷する"}},
    {1030, {u"*说明：后缀字母“C”表示带切刀类型", u"*Remarks: \"C\" means item with cutter",
     u"*備考：「C」はカッター付きのアイテムを意味します"}},
};
// clang-format on

void ApplyLanguage(DialogHost& host, int32_t language) {
  for (const Caption& caption : kCaptions) {
    if (caption.target == kWindowTitle) {
      host.SetWindowTitle(caption.text.For(language));
    } else {
      host.SetControlText(caption.target, caption.text.For(language));
    }
  }
}

}  // namespace kestrava
