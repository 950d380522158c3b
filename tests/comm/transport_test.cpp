// Which kind of link a port name names, and the dotted addresses the LAN link accepts.
#include <gtest/gtest.h>

#include "comm/transport_kind.h"
#include "platform/ipv4_text.h"

namespace kestrava {
namespace {

TEST(MatchTransportKind, TheFirstKeywordInTableOrderThatTheUpperCasedNameContains) {
  const std::pair<const char16_t*, std::optional<TransportKind>> rows[] = {
      {u"LPT1", TransportKind::kLpt},
      {u"com3:", TransportKind::kCom},
      {u"COM10", TransportKind::kCom},
      {u"USB001", TransportKind::kUsb},
      {u"usb", TransportKind::kUsb},
      {u"LAN", TransportKind::kLan},
      {u"lan", TransportKind::kLan},
      {u"BTHCOM5", TransportKind::kCom},
      {u"USBCOM", TransportKind::kCom},
      {u"LANUSB", TransportKind::kUsb},
      {u"COMLPT", TransportKind::kLpt},
      {u"PRN", std::nullopt},
      {u"", std::nullopt},
      {u"C0M3", std::nullopt},
      {u"192.168.1.87", std::nullopt},
      {u"NO USB", TransportKind::kUsb},
  };
  for (const auto& [name, kind] : rows) {
    EXPECT_EQ(kind, MatchTransportKind(name)) << Utf16ToUtf8(name);
  }
}

TEST(ParseDottedIpv4, FourDecimalNumbersUpTo255) {
  const std::pair<const char16_t*, std::optional<uint32_t>> rows[] = {
      {u"192.168.1.87", 0xC0A80157},
      {u"127.0.0.1", 0x7F000001},
      {u"0.0.0.0", 0},
      {u"255.255.255.255", 0xFFFFFFFF},
      {u"010.001.000.009", 0x0A010009},  // leading zeros are decimal
      {u"256.1.1.1", std::nullopt},
      {u"1.2.3", std::nullopt},
      {u"1.2.3.4.5", std::nullopt},
      {u"1.2.3.", std::nullopt},
      {u".1.2.3", std::nullopt},
      {u"1..2.3", std::nullopt},
      {u"1.2.3.4 ", std::nullopt},
      {u" 1.2.3.4", std::nullopt},
      {u"0x7f.0.0.1", std::nullopt},
      {u"1.2.3.0004", std::nullopt},
      {u"+1.2.3.4", std::nullopt},
      {u"Searching IP", std::nullopt},
      {u"", std::nullopt},
  };
  for (const auto& [text, address] : rows) {
    EXPECT_EQ(address, ParseDottedIpv4(text)) << Utf16ToUtf8(text);
  }
}

}  // namespace
}  // namespace kestrava
