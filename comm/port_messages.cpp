#include "comm/port_messages.h"

#include "platform/local_text.h"

namespace kestrava {

namespace {

// Three arguments: "*", the port number, "*".
constexpr LocalText kUsbPortBanner = {
    u"********************\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%19c\r\n"
    u"\t\t\t\t\t\t\t\t\t\t* 您使用的当前打印 *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t* 机USB打印端口是  *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*      USB%03d      *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%19c\r\n"
    u"\t\t\t\t\t\t\t\t\t\t********************\r\n",
    u"*************************\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%24c\r\n"
    u"\t\t\t\t\t\t\t\t\t\t* The current printer's *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*  USBPrinter port is   *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*        USB%03d         *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%24c\r\n"
    u"\t\t\t\t\t\t\t\t\t\t********************\r\n",
    u"***********************\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%22c \r\n"
    u"\t\t\t\t\t\t\t\t\t\t* 現在のプリンターの  *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t* USBPrinterポートは  * \r\n"
    u"\t\t\t\t\t\t\t\t\t\t* \t\tUSB%03d\t      *\r\n"
    u"\t\t\t\t\t\t\t\t\t\t*%22c \r\n"
    u"\t\t\t\t\t\t\t\t\t\t***********************\r\n",
};

constexpr LocalText kUsbPortListHeader = {
    u"当前USB打印机的打印端口是：\r\n",
    u"Your USB printer's Port is :\r\n",
    u"現在のUSBプリンターのプリントポートは:\r\n",
};

constexpr LocalText kNoUsbPrinter = {
    u"USB打印机没有接入设备",
    u"Have not found a USB printer device !",
    u"USBプリンターがデバイスに接続されていません!",
};

constexpr LocalText kConnectionFailure = {
    u"请检查打印机连接",
    u"Please check the connection\uFF01",
    u"プリンターの接続を確認してください",
};

}  // namespace

WString UsbPortBanner(int32_t language, uint32_t portNumber) {
  return FormatText(kUsbPortBanner.For(language), {'*', static_cast<int>(portNumber), '*'});
}

WString UsbPortListHeader(int32_t language) {
  return kUsbPortListHeader.For(language);
}

WString AppendUsbPortLine(const WString& message, uint32_t portNumber) {
  return FormatText(u"%s\tUSB%03d ;\r\n", {message, static_cast<int>(portNumber)});
}

const char16_t* NoUsbPrinterMessage(int32_t language) {
  return kNoUsbPrinter.For(language);
}

const char16_t* ConnectionFailureMessage(int32_t language) {
  return kConnectionFailure.For(language);
}

namespace {

struct ConditionText {
  PrinterCondition condition;
  LocalText fault;  // empty texts: no fault
  LocalText name;
};

constexpr LocalText kNoText = {u"", u"", u""};

constexpr ConditionText kConditions[] = {
    {PrinterCondition::kReady, kNoText, {u"就绪", u"ready", u"準備完了"}},
    {PrinterCondition::kPaperNearEnd,
     kNoText,
     {u"纸将用完", u"paper near its end", u"用紙残りわずか"}},
    {PrinterCondition::kPaperEnd,
     {u"打印机缺纸。", u"The printer is out of paper.", u"プリンターの用紙がありません。"},
     {u"缺纸", u"out of paper", u"用紙切れ"}},
    {PrinterCondition::kCoverOpen,
     {u"打印机盖已打开。", u"The printer's cover is open.", u"プリンターのカバーが開いています。"},
     {u"机盖打开", u"cover open", u"カバーが開いています"}},
    {PrinterCondition::kOffline,
     {u"打印机处于脱机状态。", u"The printer is off line.", u"プリンターがオフラインです。"},
     {u"脱机", u"off line", u"オフライン"}},
    {PrinterCondition::kCutterError,
     {u"打印机的切刀出现错误。", u"The printer's cutter has failed.",
      u"プリンターのカッターにエラーがあります。"},
     {u"切刀错误", u"cutter error", u"カッターエラー"}},
    {PrinterCondition::kUnrecoverableError,
     {u"打印机出现无法恢复的错误，请关闭打印机后重新打开。",
      u"The printer has an error it cannot recover from: switch it off and on again.",
      u"プリンターに回復できないエラーがあります。電源を入れ直してください。"},
     {u"无法恢复的错误", u"unrecoverable error", u"回復できないエラー"}},
};

const ConditionText& TextOf(PrinterCondition condition) {
  for (const ConditionText& row : kConditions) {
    if (row.condition == condition) return row;
  }
  return kConditions[0];
}

}  // namespace

WString PrinterFaultMessage(PrinterCondition condition, int32_t language) {
  return TextOf(condition).fault.For(language);
}

WString ConditionName(PrinterCondition condition, int32_t language) {
  return TextOf(condition).name.For(language);
}

}  // namespace kestrava
