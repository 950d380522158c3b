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

}  // namespace kestrava
