#include "comm/transport_kind.h"

namespace kestrava {

namespace {

struct Keyword {
  TransportKind kind;
  const char16_t* text;
};

constexpr Keyword kKeywords[] = {
    {TransportKind::kLpt, u"LPT"},
    {TransportKind::kCom, u"COM"},
    {TransportKind::kUsb, u"USB"},
    {TransportKind::kLan, u"LAN"},
};

}  // namespace

WString UpperCasePortName(WStringView name) {
  WString upper(name);
  for (WChar& c : upper) {
    if (c >= u'a' && c <= u'z') c = static_cast<WChar>(c - u'a' + u'A');
  }
  return upper;
}

std::optional<TransportKind> MatchTransportKind(WStringView name) {
  const WString upper = UpperCasePortName(name);
  for (const Keyword& keyword : kKeywords) {
    if (upper.find(keyword.text) != WString::npos) return keyword.kind;
  }
  return std::nullopt;
}

}  // namespace kestrava
