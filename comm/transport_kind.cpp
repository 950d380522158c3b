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

std::optional<TransportKind> MatchTransportKind(WStringView name) {
  const WString upper = UpperAscii(name);
  for (const Keyword& keyword : kKeywords) {
    if (upper.find(keyword.text) != WString::npos) return keyword.kind;
  }
  return std::nullopt;
}

}  // namespace kestrava
