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

WString WidenAscii(std::string_view text) {
  WString out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<WChar>(static_cast<unsigned char>(c)));
  return out;
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
