#include "install/installation_messages.h"

#include "platform/local_text.h"

namespace kestrava {

namespace {

constexpr int32_t kFirstLongFormChoice = 3;  // "Windows XP"

struct TwoLanguages {
  const char16_t* chinese;
  const char16_t* other;

  WString For(int32_t languageId) const { return languageId == kChinese ? chinese : other; }
};

constexpr TwoLanguages kCopyFailureShort = {u"安装过程发生错误！安装驱动文件失败",
                                            u"Malfunction !"};
constexpr TwoLanguages kCopyFailureLong = {
    u"安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。",
    u"Malfunction !\nPls try using <Run as administrator>open this App"};
constexpr TwoLanguages kDriverFailure = {u"安装打印机驱动过程发生错误！",
                                         u"Install printer driver failed !"};
constexpr TwoLanguages kMissingRuntime = {
    u"缺少VC运行框架，添加打印机失败，请在浏览器下载后安装",
    u"The VC runtime framework is missing, adding a printer fails, please install it after "
    u"downloading in the browser"};

}  // namespace

WString CopyFailureMessage(int32_t osIndex, int32_t languageId) {
  return (osIndex < kFirstLongFormChoice ? kCopyFailureShort : kCopyFailureLong).For(languageId);
}

WString DriverFailureMessage(int32_t languageId) {
  return kDriverFailure.For(languageId);
}

WString MissingRuntimeMessage(int32_t languageId) {
  return kMissingRuntime.For(languageId);
}

WString RuntimeDownloadAddress(const WString& architectureName) {
  return WString(kRuntimeDownloadPrefix) + architectureName + u".exe";
}

}  // namespace kestrava
