// Holds the resource script of dialog 147 and the control table together: the Windows build
// creates the dialog from the script, the test host from the table, so a difference between the
// two would let the tests pass on a dialog that Windows never shows.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/dialog/dialog_template.h"

namespace kestrava {
namespace {

const std::string kResourceFolder = std::string(KESTRAVA_SOURCE_DIR) + "/app/resources/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// --- A tokenizer and parser for the subset of resource-script syntax the script uses. ---

struct Token {
  enum Kind { kWord, kNumber, kString, kPunct, kEnd } kind = kEnd;
  std::string text;  // words, punctuation, decoded strings
  long value = 0;
  int line = 0;
};

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Decodes a quoted string starting at s[i] ("" is a quote, \0 \\ escapes); returns the index
// after the closing quote.
size_t ReadString(const std::string& s, size_t i, std::string& text) {
  for (++i; i < s.size() && !(s[i] == '"' && s.compare(i, 2, "\"\"") != 0); ++i) {
    char c = s[i];
    if (c == '"') {
      c = s[++i];
    } else if (c == '\\' && i + 1 < s.size()) {
      c = s[++i] == '0' ? '\0' : s[i];
    }
    text += c;
  }
  return i + 1;
}

// Line by line; preprocessor lines (an #include and the code page) and comments are skipped.
std::vector<Token> Tokenize(const std::string& script) {
  std::vector<Token> out;
  std::istringstream lines(script);
  std::string s;
  for (int line = 1; std::getline(lines, s); ++line) {
    if (!s.empty() && s[0] == '#') continue;
    for (size_t i = 0; i < s.size() && s.compare(i, 2, "//") != 0;) {
      const char c = s[i];
      Token t{Token::kPunct, std::string(1, c), 0, line};
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
        continue;
      } else if (c == '"') {
        t.kind = Token::kString;
        t.text.clear();
        i = ReadString(s, i, t.text);
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        size_t used = 0;
        t.kind = Token::kNumber;
        t.value = std::stol(s.substr(i), &used, 0);
        t.text = s.compare(i + used, 1, "L") == 0 ? "L" : "";
        i += used + t.text.size();
      } else if (IsWordChar(c)) {
        t.kind = Token::kWord;
        t.text.clear();
        while (i < s.size() && IsWordChar(s[i])) t.text += s[i++];
      } else {
        ++i;
      }
      out.push_back(t);
    }
  }
  out.push_back(Token{Token::kEnd, "", 0, 0});
  return out;
}

struct Styles {
  std::set<std::string> set, cleared;  // "A | NOT B"
};

struct RcControl {
  std::string text, cls;
  long id = 0, x = 0, y = 0, width = 0, height = 0;
  Styles styles;
};

struct RcInitItem {
  long controlId = 0, message = 0, length = 0;
  std::string data;
};

struct RcFile {
  long dialogId = 0, x = 0, y = 0, width = 0, height = 0, fontSize = 0;
  std::string caption = "<none>", fontFace;
  Styles dialogStyles;
  std::vector<RcControl> controls;
  std::vector<RcInitItem> init;
  std::vector<std::pair<long, std::string>> icons, bitmaps;
  std::vector<std::string> errors;
};

class Parser {
 public:
  explicit Parser(const std::string& text) : tokens_(Tokenize(text)) {}

  RcFile Parse() {
    while (Peek().kind != Token::kEnd && out_.errors.empty()) Statement();
    return out_;
  }

 private:
  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  void Fail(const std::string& what) {
    if (out_.errors.empty()) {
      out_.errors.push_back("line " + std::to_string(Peek().line) + ": " + what);
    }
  }
  long Number() {
    if (Peek().kind != Token::kNumber) Fail("number expected");
    return Next().value;
  }
  std::string String() {
    if (Peek().kind != Token::kString) Fail("string expected");
    return Next().text;
  }
  void Expect(const std::string& text) {
    if (Next().text != text) Fail("'" + text + "' expected");
  }
  bool Accept(const std::string& text) {
    if (Peek().kind == Token::kString || Peek().text != text) return false;
    Next();
    return true;
  }
  Styles StyleList() {
    Styles styles;
    do {
      const bool negated = Accept("NOT");
      if (Peek().kind != Token::kWord) Fail("style expected");
      (negated ? styles.cleared : styles.set).insert(Next().text);
    } while (Accept("|"));
    return styles;
  }

  void Statement() {
    const long id = Number();
    if (Accept("ICON")) {
      out_.icons.emplace_back(id, String());
    } else if (Accept("BITMAP")) {
      out_.bitmaps.emplace_back(id, String());
    } else if (Accept("DIALOGEX")) {
      Dialog(id);
    } else if (Peek().kind == Token::kNumber && Peek().value == 240) {
      Next();
      InitData();
    } else {
      Fail("unknown statement");
    }
  }

  void Dialog(long id) {
    out_.dialogId = id;
    out_.x = Number(), Expect(","), out_.y = Number(), Expect(",");
    out_.width = Number(), Expect(","), out_.height = Number();
    while (out_.errors.empty() && !Accept("BEGIN")) {
      if (Accept("STYLE")) {
        out_.dialogStyles = StyleList();
      } else if (Accept("CAPTION")) {
        out_.caption = String();
      } else if (Accept("FONT")) {
        out_.fontSize = Number(), Expect(","), out_.fontFace = String();
        while (Accept(",")) Number();
      } else {
        Fail("dialog option expected");
      }
    }
    while (out_.errors.empty() && !Accept("END")) {
      RcControl c;
      Expect("CONTROL");
      c.text = String(), Expect(","), c.id = Number(), Expect(",");
      c.cls = String(), Expect(","), c.styles = StyleList(), Expect(",");
      c.x = Number(), Expect(","), c.y = Number(), Expect(",");
      c.width = Number(), Expect(","), c.height = Number();
      out_.controls.push_back(c);
    }
  }

  void InitData() {
    Expect("BEGIN");
    while (out_.errors.empty()) {
      RcInitItem item;
      item.controlId = Number();
      if (item.controlId == 0) break;
      Expect(","), item.message = Number(), Expect(",");
      if (Peek().text != "L") Fail("a 32-bit length (with L) expected");
      item.length = Number(), Expect(","), item.data = String(), Expect(",");
      out_.init.push_back(item);
    }
    Expect("END");
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
  RcFile out_;
};

// --- The comparison with the table. ---

const char* KindName(ControlKind kind) {
  static const char* const names[] = {"static", "group box", "radio",      "check box",
                                      "button", "drop list", "IP address", "bitmap"};
  return names[static_cast<int>(kind)];
}

// The kind a control of the script is, from its class and its type style.
std::string KindOf(const RcControl& c) {
  const auto has = [&](const char* style) { return c.styles.set.count(style) > 0; };
  std::string cls;
  for (char ch : c.cls) cls += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (cls == "static") return has("SS_BITMAP") ? "bitmap" : has("SS_LEFT") ? "static" : "?";
  if (cls == "button") {
    if (has("BS_GROUPBOX")) return "group box";
    if (has("BS_AUTORADIOBUTTON")) return "radio";
    if (has("BS_AUTOCHECKBOX")) return "check box";
    if (has("BS_PUSHBUTTON")) return "button";  // never BS_DEFPUSHBUTTON: Enter is the OK
    return "?";
  }
  if (cls == "combobox") return has("CBS_DROPDOWNLIST") && has("WS_VSCROLL") ? "drop list" : "?";
  return cls == "sysipaddress32" ? "IP address" : "?";
}

// Keyboard focus: every control a user operates takes a tab stop, a radio group only at its
// first button, labels and frames never.
bool WantsTabStop(const ControlSpec& layout) {
  switch (layout.kind) {
    case ControlKind::kRadio:
      return layout.groupStart;
    case ControlKind::kCheckBox:
    case ControlKind::kButton:
    case ControlKind::kDropList:
    case ControlKind::kIpAddress:
      return true;
    default:
      return false;
  }
}

template <typename A, typename B>
void Compare(std::vector<std::string>& out, const std::string& where, const char* field,
             const A& rc, const B& table) {
  if (!(rc == table)) {
    std::ostringstream s;
    s << where << ": " << field << " is " << rc << " in the script, " << table << " in the table";
    out.push_back(s.str());
  }
}

std::vector<std::string> Differences(const RcFile& rc, const std::vector<ControlSpec>& table) {
  std::vector<std::string> out = rc.errors;
  Compare(out, "dialog", "id", rc.dialogId, kDialogTemplateId);
  Compare(out, "dialog", "size", std::to_string(rc.width) + "x" + std::to_string(rc.height),
          std::to_string(kDialogWidth) + "x" + std::to_string(kDialogHeight));
  Compare(out, "dialog", "font", std::to_string(rc.fontSize) + " " + rc.fontFace,
          std::string("9 MS Shell Dlg"));
  Compare(out, "dialog", "caption", "\"" + rc.caption + "\"", std::string("\"\""));
  for (const char* style : {"DS_MODALFRAME", "WS_POPUP", "WS_CAPTION", "WS_SYSMENU"}) {
    Compare(out, "dialog", style, rc.dialogStyles.set.count(style), 1u);
  }
  Compare(out, "dialog", "control count", rc.controls.size(), table.size());
  for (size_t i = 0; i < rc.controls.size() && i < table.size(); ++i) {
    const RcControl& c = rc.controls[i];
    const ControlSpec& t = table[i];
    const std::string where = "control #" + std::to_string(i) + " (" + std::to_string(t.id) + ")";
    Compare(out, where, "id", c.id, t.id);
    Compare(out, where, "kind", KindOf(c), std::string(KindName(t.kind)));
    Compare(out, where, "rectangle",
            std::to_string(c.x) + "," + std::to_string(c.y) + "," + std::to_string(c.width) + "," +
                std::to_string(c.height),
            std::to_string(t.x) + "," + std::to_string(t.y) + "," + std::to_string(t.width) + "," +
                std::to_string(t.height));
    Compare(out, where, "text", "\"" + c.text + "\"",
            "\"" + (t.text ? Utf16ToUtf8(t.text) : std::string()) + "\"");
    Compare(out, where, "group start", c.styles.set.count("WS_GROUP") > 0, t.groupStart);
    Compare(out, where, "hidden", c.styles.cleared.count("WS_VISIBLE") > 0, t.hidden);
    Compare(out, where, "tab stop", c.styles.set.count("WS_TABSTOP") > 0, WantsTabStop(t));
  }
  Compare(out, "list 1046", "item count", rc.init.size(), kLanguageListItems.size());
  for (size_t i = 0; i < rc.init.size() && i < kLanguageListItems.size(); ++i) {
    const RcInitItem& item = rc.init[i];
    const std::string where = "init item #" + std::to_string(i);
    const std::string expected = Utf16ToUtf8(kLanguageListItems[i]);
    Compare(out, where, "control", item.controlId, 1046);
    Compare(out, where, "message", item.message, 0x0403);
    Compare(out, where, "text", item.data, expected + '\0');
    Compare(out, where, "length", static_cast<size_t>(item.length), item.data.size());
  }
  return out;
}

std::vector<ControlSpec> Table() {
  return {kDialogControls.begin(), kDialogControls.end()};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

const std::string& Script() {
  static const std::string text = ReadFile(kResourceFolder + "dialog147.rc");
  return text;
}

TEST(DialogResource, ScriptMatchesTheControlTable) {
  ASSERT_FALSE(Script().empty()) << "cannot read " << kResourceFolder << "dialog147.rc";
  const std::vector<std::string> differences = Differences(Parser(Script()).Parse(), Table());
  EXPECT_TRUE(differences.empty()) << Joined(differences);
}

TEST(DialogResource, ImagesAreTheCommittedArtwork) {
  const RcFile rc = Parser(Script()).Parse();
  ASSERT_EQ(1u, rc.icons.size());
  ASSERT_EQ(1u, rc.bitmaps.size());
  EXPECT_EQ(kIconResource, rc.icons[0].first);
  EXPECT_EQ(kTestPageBitmapResource, rc.bitmaps[0].first);

  const std::string icon = ReadFile(kResourceFolder + rc.icons[0].second);
  ASSERT_GE(icon.size(), 6u + 2 * 16);
  EXPECT_EQ(std::string("\0\0\1\0\2\0", 6), icon.substr(0, 6)) << "an icon file of two images";
  EXPECT_EQ(16, icon[6]);
  EXPECT_EQ(32, icon[6 + 16]);
  EXPECT_EQ(32, icon[6 + 6]) << "32 bits per pixel";
  const std::string bitmap = ReadFile(kResourceFolder + rc.bitmaps[0].second);
  ASSERT_GE(bitmap.size(), 30u);
  EXPECT_EQ("BM", bitmap.substr(0, 2));
}

// Each edit of the script, or of the table, must show up as a difference.
struct Edit {
  const char* name;
  std::string from, to;
};

void PrintTo(const Edit& edit, std::ostream* os) {
  *os << edit.name;
}

class DialogResourceEdit : public ::testing::TestWithParam<Edit> {};

TEST_P(DialogResourceEdit, IsReported) {
  std::string script = Script();
  const size_t at = script.find(GetParam().from);
  ASSERT_NE(std::string::npos, at) << GetParam().from;
  script.replace(at, GetParam().from.size(), GetParam().to);
  EXPECT_FALSE(Differences(Parser(script).Parse(), Table()).empty());
}

const std::string k1013 =
    "  CONTROL \"RT-80\", 1013, \"Button\", BS_AUTORADIOBUTTON, 103, 156, 57, 9\n";
const std::string k1012 =
    "  CONTROL \"RT-58C\", 1012, \"Button\", BS_AUTORADIOBUTTON, 22, 172, 55, 9\n";

// clang-format off
const Edit kScriptEdits[] = {
    {"Moved", "103, 66, 64, 9", "103, 67, 64, 9"},
    {"Resized", "196, 44, 72, 47", "196, 44, 72, 48"},
    {"Renumbered", "1014, \"Button\"", "1041, \"Button\""},
    {"Retexted", "\"开始安装\"", "\"开始\""},
    {"GroupLost", "WS_GROUP | WS_TABSTOP, 22, 156", "WS_TABSTOP, 22, 156"},
    {"GroupAdded", "BS_AUTORADIOBUTTON, 103, 156", "BS_AUTORADIOBUTTON | WS_GROUP, 103, 156"},
    {"Shown", "WS_TABSTOP | NOT WS_VISIBLE, 196, 116", "WS_TABSTOP, 196, 116"},
    {"Hidden", "SS_LEFT, 13, 137", "SS_LEFT | NOT WS_VISIBLE, 13, 137"},
    {"OtherKind", "BS_AUTOCHECKBOX", "BS_CHECKBOX"},
    {"DefaultButton", "BS_PUSHBUTTON | WS_TABSTOP, 196, 192", "BS_DEFPUSHBUTTON | WS_TABSTOP, 196, 192"},
    {"NoTabStop", "BS_PUSHBUTTON | WS_TABSTOP, 196, 136", "BS_PUSHBUTTON, 196, 136"},
    {"Reordered", k1013 + k1012, k1012 + k1013},
    {"Removed", k1013, ""},
    {"DialogSize", "274, 242", "274, 240"},
    {"Font", "\"MS Shell Dlg\"", "\"MS Sans Serif\""},
    {"Caption", "CAPTION \"\"", "CAPTION \"Setup\""},
    {"ItemText", "\"English\\0\"", "\"Englisch\\0\""},
    {"ItemLength", "9L", "10L"},
    {"ItemMessage", "1046, 0x0403, 8L", "1046, 0x0143, 8L"},
    {"ItemDropped", "  1046, 0x0403, 9L, \"Japanese\\0\",\n", ""},
    {"Unparsable", "END\n\n//", "\n//"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(All, DialogResourceEdit, ::testing::ValuesIn(kScriptEdits),
                         [](const ::testing::TestParamInfo<Edit>& row) {
                           return std::string(row.param.name);
                         });

TEST(DialogResourceTableEdit, IsReported) {
  struct TableEdit {
    int id;
    void (*edit)(ControlSpec&);
  };
  const TableEdit edits[] = {
      {1035, [](ControlSpec& c) { c.hidden = false; }},
      {1034, [](ControlSpec& c) { c.groupStart = false; }},
      {1055, [](ControlSpec& c) { c.text = u"票据打印机"; }},
      {1046, [](ControlSpec& c) { c.kind = ControlKind::kStatic; }},
      {1072, [](ControlSpec& c) { c.y += 1; }},
  };
  const RcFile rc = Parser(Script()).Parse();
  for (const TableEdit& e : edits) {
    std::vector<ControlSpec> table = Table();
    for (ControlSpec& c : table) {
      if (c.id == e.id) e.edit(c);
    }
    EXPECT_FALSE(Differences(rc, table).empty()) << "edit of " << e.id;
  }
  std::vector<ControlSpec> shorter = Table();
  shorter.pop_back();
  EXPECT_FALSE(Differences(rc, shorter).empty()) << "last control dropped";
}

}  // namespace
}  // namespace kestrava
