#include "tests/wine/gui_keys.h"

#include <cstdio>
#include <iterator>

namespace kestrava::gui {

namespace {

struct Key {
  const wchar_t* name;
  WORD code;
  bool shift;
};

constexpr Key kKeys[] = {
    {L"tab", VK_TAB, false},     {L"shift-tab", VK_TAB, true}, {L"up", VK_UP, false},
    {L"down", VK_DOWN, false},   {L"left", VK_LEFT, false},    {L"right", VK_RIGHT, false},
    {L"space", VK_SPACE, false}, {L"enter", VK_RETURN, false}, {L"escape", VK_ESCAPE, false}};
constexpr Key kDown = {L"down", VK_DOWN, false};
constexpr wchar_t kDownUntil[] = L"down-until=";
constexpr int kMostDowns = 30;

const Key* KeyNamed(const std::wstring& name) {
  for (const Key& known : kKeys) {
    if (name == known.name) return &known;
  }
  return nullptr;
}

INPUT KeyInput(WORD code, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = code;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// The key goes to whatever window is in front: a box the last key opened takes the next one.
void Press(const Key& key) {
  std::vector<INPUT> inputs;
  if (key.shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(key.code, false));
  inputs.push_back(KeyInput(key.code, true));
  if (key.shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(300);
}

// The control with the focus in the dialog's thread (null for none).
HWND Focused(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// A drop-down list's text is its chosen item; a radio's, its caption. Asked with WM_GETTEXT:
// GetWindowTextW reads only the caption the system keeps for another process's window.
std::wstring TextOf(HWND control) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  if (control) {
    SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &copied);
  }
  return text;
}

// Prints where the focus is; false where EXPECTED (an id, 0 for any) is not it.
bool Report(HWND dialog, const std::wstring& step, int expected) {
  HWND focus = Focused(dialog);
  const int id = focus ? GetDlgCtrlID(focus) : 0;
  std::printf("%ls: focus on %d \"%ls\"\n", step.c_str(), id, TextOf(focus).c_str());
  if (expected != 0 && id != expected) {
    std::printf("FAIL: %ls should leave the focus on %d\n", step.c_str(), expected);
    return false;
  }
  return true;
}

}  // namespace

int PressKeys(HWND dialog, const std::vector<std::wstring>& steps) {
  // The box the dialog has open, if any: bringing the disabled dialog itself to the front would
  // take the activation from the box while it waits for its answer.
  SetForegroundWindow(GetLastActivePopup(dialog));
  Sleep(200);
  for (const std::wstring& step : steps) {
    if (step.rfind(kDownUntil, 0) == 0) {
      const std::wstring wanted = step.substr(std::size(kDownUntil) - 1);
      int downs = 0;
      while (TextOf(Focused(dialog)) != wanted && downs < kMostDowns) {
        Press(kDown);
        ++downs;
      }
      Report(dialog, step, 0);
      if (TextOf(Focused(dialog)) != wanted) {
        std::printf("FAIL: %d presses of down never showed it\n", downs);
        return 1;
      }
      continue;
    }
    const size_t at = step.find(L'@');
    const Key* key = KeyNamed(step.substr(0, at));
    if (!key) {
      std::printf("unknown key %ls\n", step.c_str());
      return 2;
    }
    Press(*key);
    if (!Report(dialog, step, at == std::wstring::npos ? 0 : _wtoi(step.c_str() + at + 1))) {
      return 1;
    }
  }
  return 0;
}

}  // namespace kestrava::gui
