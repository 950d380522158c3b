#include "platform/text.h"

namespace kestrava {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(WString& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<WChar>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<WChar>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<WChar>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

WChar UpperAscii(WChar c) {
  return c >= u'a' && c <= u'z' ? static_cast<WChar>(c - u'a' + u'A') : c;
}

WString UpperAscii(WStringView text) {
  WString upper(text);
  for (WChar& c : upper) c = UpperAscii(c);
  return upper;
}

WChar SystemUpperCase(WChar c) {
  // Where a range pairs its letters upper-case first (even) or second (odd).
  const auto evenFirst = [c]() { return static_cast<WChar>(c & 1 ? c - 1 : c); };
  const auto oddFirst = [c]() { return static_cast<WChar>(c & 1 ? c : c - 1); };
  const auto minus = [c](int offset) { return static_cast<WChar>(c - offset); };
  if (c >= u'a' && c <= u'z') return minus(0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : minus(0x20);  // not the division sign
  if (c == 0xFF) return 0x178;
  // Latin Extended-A, without the dotless i, the long s and the n after an apostrophe, whose
  // upper case is a letter of another range or none.
  if (c <= 0x12F || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return evenFirst();
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return oddFirst();
  if (c < 0x3AC) return c;
  // Greek; the system's table gives the final sigma no upper case.
  if (c == 0x3AC) return 0x386;
  if (c <= 0x3AF) return minus(0x25);
  if (c < 0x3B1 || c == 0x3C2) return c;
  if (c <= 0x3CB) return minus(0x20);
  if (c == 0x3CC) return 0x38C;
  if (c <= 0x3CE) return minus(0x3F);
  // Cyrillic and Armenian.
  if (c >= 0x430 && c <= 0x44F) return minus(0x20);
  if (c >= 0x450 && c <= 0x45F) return minus(0x50);
  if (c >= 0x561 && c <= 0x586) return minus(0x30);
  // Fullwidth Latin.
  if (c >= 0xFF41 && c <= 0xFF5A) return minus(0x20);
  return c;
}

bool SameNameIgnoringCase(WStringView a, WStringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (SystemUpperCase(a[i]) != SystemUpperCase(b[i])) return false;
  }
  return true;
}

WString WidenAscii(std::string_view text) {
  WString out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<WChar>(static_cast<unsigned char>(c)));
  return out;
}

WString Joined(const std::vector<WString>& words, const WString& none) {
  if (words.empty()) return none;
  WString joined;
  for (const WString& word : words) joined += (joined.empty() ? u"" : u", ") + word;
  return joined;
}

WString WithoutTrailingSpace(WString text) {
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
    text.pop_back();
  }
  return text;
}

WString Utf8ToUtf16(std::string_view text) {
  WString out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      out.push_back(static_cast<WChar>(kReplacement));
      ++i;
      continue;
    }
    size_t used = 1;
    bool valid = true;
    for (; used <= extra; ++used) {
      if (i + used >= text.size() || (static_cast<unsigned char>(text[i + used]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + used]) & 0x3F);
    }
    if (!valid || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(static_cast<WChar>(kReplacement));
      i += used;
      continue;
    }
    AppendUtf16(out, cp);
    i += used;
  }
  return out;
}

std::string Utf16ToUtf8(WStringView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

WString FormatArg::Render(WChar conversion) const {
  if (conversion == u'c') {
    if (isNumber_) return WString(1, static_cast<WChar>(number_));
    return text_.empty() ? WString() : WString(1, text_[0]);
  }
  if (!isNumber_) return WString(text_);
  return WidenAscii(std::to_string(number_));
}

WString FormatText(WStringView format, std::initializer_list<FormatArg> args) {
  WString out;
  const FormatArg* next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const WChar c = format[i];
    if (c != u'%' || i + 1 >= format.size()) {
      out.push_back(c);
      continue;
    }
    if (format[i + 1] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    // Flag, width and conversion: [0][digit[digit]](s|d|c).
    size_t at = i + 1;
    const bool zeroFlag = format[at] == u'0';
    if (zeroFlag) ++at;
    size_t width = 0;
    for (int digits = 0;
         digits < 2 && at < format.size() && format[at] >= u'0' && format[at] <= u'9';
         ++digits, ++at) {
      width = width * 10 + static_cast<size_t>(format[at] - u'0');
    }
    const WChar conversion = at < format.size() ? format[at] : u'\0';
    const bool known = conversion == u's' || conversion == u'd' || conversion == u'c';
    if (!known || next == args.end()) {
      out.push_back(c);
      continue;
    }
    WString rendered = (next++)->Render(conversion);
    if (rendered.size() < width) {
      const size_t padding = width - rendered.size();
      // A zero-padded negative number keeps its sign in front: "-05".
      const bool sign = conversion == u'd' && zeroFlag && !rendered.empty() && rendered[0] == u'-';
      rendered.insert(sign ? 1 : 0, padding, conversion == u'd' && zeroFlag ? u'0' : u' ');
    }
    out += rendered;
    i = at;
  }
  return out;
}

}  // namespace kestrava
