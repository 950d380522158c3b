// The road commands of gui_probe (arguments after the command; texts may carry \n, \r and \t):
//   click ID                         a click on a button or radio (posted, so that a box the
//                                    handler shows does not hold the probe)
//   click-wait ID LIST MS TEXT       a click, then TEXT in the list LIST within MS milliseconds
//   select ID TEXT                   the item TEXT chosen in a list, as the user chooses it
//   address ID A.B.C.D               the address field set
//   items ID SECONDS TEXT...         the list holds exactly these items (within SECONDS)
//   has-item ID SECONDS TEXT         the list holds TEXT
//   selected ID SECONDS TEXT         the list's selected item is TEXT
//   text ID SECONDS TEXT             the control's text is TEXT
//   address-is ID SECONDS A.B.C.D    the address field shows the address
//   enabled ID SECONDS               the control is enabled
//   message SECONDS TEXT             a message box of the program shows TEXT
//   answer yes|no|ok                 the box answered; waits until it is gone
//   no-message SECONDS               no box appears meanwhile
#include "tests/wine/gui_road_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "platform/ipv4_text.h"
#include "tests/wine/gui_windows.h"

namespace kestrava::gui {

namespace {

std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[++i];
      out += next == L'n' ? L'\n' : next == L'r' ? L'\r' : next == L't' ? L'\t' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Shown(const std::wstring& text) {
  std::string out;
  for (char c : Utf16ToUtf8(FromWide(text))) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

// Polls `holds` every 50 ms for up to `milliseconds`.
bool Within(int milliseconds, const std::function<bool()>& holds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (holds()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(50);
  }
}

int Seconds(const std::wstring& text) {
  return _wtoi(text.c_str()) * 1000;
}

int Result() {
  return Failures() == 0 ? 0 : 1;
}

std::wstring Joined(const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += (text.empty() ? L"" : L" | ") + item;
  return text;
}

int Select(HWND dialog, int id, const std::wstring& text) {
  HWND list = GetDlgItem(dialog, id);
  const std::vector<std::wstring> items = Items(list);
  const auto found = std::find(items.begin(), items.end(), text);
  if (found == items.end()) {
    Expect(false, "no item \"" + Shown(text) + "\" in " + std::to_string(id) + ": " +
                      Shown(Joined(items)));
    return 1;
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found - items.begin()), 0);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  return 0;
}

int AnswerBox(const std::wstring& button) {
  HWND box = WaitFor(0, true, 10);
  Expect(box != nullptr, "a message box to answer");
  if (!box) return 1;
  const WPARAM id = button == L"yes" ? IDYES : button == L"no" ? IDNO : IDOK;
  PostMessageW(box, WM_COMMAND, id, 0);
  Expect(Within(10000, [box] { return !IsWindow(box) || !IsWindowVisible(box); }),
         "the box goes when answered");
  return Result();
}

}  // namespace

int RoadCommand(HWND dialog, const std::vector<std::wstring>& args) {
  const std::wstring& command = args[0];
  const size_t n = args.size();
  const auto control = [&](size_t at) { return GetDlgItem(dialog, _wtoi(args[at].c_str())); };
  if (command == L"click" && n == 2) {
    PostMessageW(control(1), BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"click-wait" && n == 5) {
    const auto start = std::chrono::steady_clock::now();
    PostMessageW(control(1), BM_CLICK, 0, 0);
    const std::wstring wanted = Unescape(args[4]);
    HWND list = control(2);
    const bool shown = Within(_wtoi(args[3].c_str()), [&] {
      const auto items = Items(list);
      return std::find(items.begin(), items.end(), wanted) != items.end();
    });
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("%s listed after %lld ms\n", Shown(wanted).c_str(),
                static_cast<long long>(took.count()));
    Expect(shown, Shown(wanted) + " not listed in time: " + Shown(Joined(Items(list))));
    return Result();
  }
  if (command == L"select" && n == 3) return Select(dialog, _wtoi(args[1].c_str()), args[2]);
  if (command == L"address" && n == 3) {
    const std::optional<uint32_t> address = ParseDottedIpv4(FromWide(args[2]));
    if (!address) return 2;
    SendMessageW(control(1), IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
    return 0;
  }
  if ((command == L"items" || command == L"has-item" || command == L"selected") && n >= 4) {
    HWND list = control(1);
    std::vector<std::wstring> wanted;
    for (size_t i = 3; i < n; ++i) wanted.push_back(Unescape(args[i]));
    const auto holds = [&] {
      const auto items = Items(list);
      if (command == L"items") return items == wanted;
      if (command == L"has-item") {
        return std::find(items.begin(), items.end(), wanted[0]) != items.end();
      }
      const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
      return selected >= 0 && static_cast<size_t>(selected) < items.size() &&
             items[static_cast<size_t>(selected)] == wanted[0];
    };
    Expect(Within(Seconds(args[2]), holds),
           Shown(command) + " " + Shown(Joined(wanted)) + ": the list holds " +
               Shown(Joined(Items(list))) + ", selected " +
               std::to_string(SendMessageW(list, CB_GETCURSEL, 0, 0)));
    return Result();
  }
  if (command == L"text" && n == 4) {
    const std::wstring wanted = Unescape(args[3]);
    HWND window = control(1);
    Expect(Within(Seconds(args[2]), [&] { return TextOf(window) == wanted; }),
           "control " + Shown(args[1]) + " reads \"" + Shown(TextOf(window)) + "\", expected \"" +
               Shown(wanted) + "\"");
    return Result();
  }
  if (command == L"address-is" && n == 4) {
    HWND field = control(1);
    Expect(Within(Seconds(args[2]), [&] { return AddressText(field) == args[3]; }),
           "the address field shows " + Shown(AddressText(field)));
    return Result();
  }
  if (command == L"enabled" && n == 3) {
    HWND window = control(1);
    Expect(Within(Seconds(args[2]), [&] { return IsWindowEnabled(window) != FALSE; }),
           "control " + Shown(args[1]) + " enabled");
    return Result();
  }
  if (command == L"message" && n == 3) {
    const std::wstring wanted = Unescape(args[2]);
    HWND box = WaitFor(0, true, Seconds(args[1]) / 1000);
    Expect(box != nullptr, "a message box \"" + Shown(wanted) + "\"");
    if (box) {
      const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
      Expect(text == wanted,
             "the box says \"" + Shown(text) + "\", expected \"" + Shown(wanted) + "\"");
    }
    return Result();
  }
  if (command == L"answer" && n == 2) return AnswerBox(args[1]);
  if (command == L"no-message" && n == 2) {
    HWND box = nullptr;
    Within(Seconds(args[1]), [&box] { return (box = Find(0, true)) != nullptr; });
    Expect(box == nullptr,
           "no box, but one says \"" + Shown(box ? TextOf(GetDlgItem(box, 0xFFFF)) : L"") + "\"");
    return Result();
  }
  return -1;
}

}  // namespace kestrava::gui
