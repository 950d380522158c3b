#include "tests/fakes/test_dialog_host.h"

#include <string>

#include "platform/ipv4_text.h"

namespace kestrava {

TestDialogHost::TestDialogHost() {
  // 141 is app/resources/test_page.bmp; the Win32 contract test checks the size.
  pictures[kTestPageBitmapResource] = Picture{0x141, 120, 60};
  for (const ControlSpec& layout : kDialogControls) {
    Control control;
    control.layout = &layout;
    control.text = layout.text ? WString(layout.text) : WString();
    control.visible = !layout.hidden;
    controls_.push_back(control);
  }
}

// --- Plumbing ---

void TestDialogHost::Misuse(const char* operation, int id, const char* what) {
  std::lock_guard<std::mutex> lock(misuseLock_);
  misuses.push_back(std::string(operation) + "(" + std::to_string(id) + "): " + what);
}

const TestDialogHost::Control* TestDialogHost::Find(int id) const {
  for (const Control& control : controls_) {
    if (control.layout->id == id) return &control;
  }
  return nullptr;
}

TestDialogHost::Control* TestDialogHost::Use(int id, const char* operation) {
  if (OffDialogThread()) {
    Misuse(operation, id, "called off the dialog's thread");
    return nullptr;
  }
  if (!open_) {
    Misuse(operation, id, "the dialog is not open");
    return nullptr;
  }
  auto* control = const_cast<Control*>(Find(id));
  if (!control) Misuse(operation, id, "no such control");
  return control;
}

TestDialogHost::Control* TestDialogHost::Use(int id, const char* operation, ControlKind kind) {
  Control* control = Use(id, operation);
  if (control && control->layout->kind != kind) {
    Misuse(operation, id, "a control of another kind");
    return nullptr;
  }
  return control;
}

std::vector<TestDialogHost::Control*> TestDialogHost::Group(int firstId, const char* operation) {
  std::vector<Control*> radios;
  if (!Use(firstId, operation)) return radios;
  size_t i = 0;
  while (controls_[i].layout->id != firstId) ++i;
  do {
    if (controls_[i].layout->kind == ControlKind::kRadio) radios.push_back(&controls_[i]);
    ++i;
  } while (i < controls_.size() && !controls_[i].layout->groupStart);
  return radios;
}

bool TestDialogHost::Deliver(const std::function<void()>& event) {
  if (!open_ || !events_) return false;
  ++depth_;
  event();
  if (--depth_ == 0 && endRequested_) {
    open_ = false;
    timers.clear();
    std::lock_guard<std::mutex> lock(postedLock_);
    posted_.clear();
  }
  return true;
}

bool TestDialogHost::UserInput(int id, const char* operation) {
  // The window is disabled while RunAnswering's work runs.
  if (answering_) return false;
  const Control* control = Use(id, operation);
  return control && control->visible && control->enabled;
}

// --- The dialog ---

int TestDialogHost::RunModal(DialogEvents& events) {
  // A new dialog from the template: the controls' template state, then the template's
  // initialisation data fills the language list.
  for (Control& control : controls_) {
    const ControlSpec& layout = *control.layout;
    control = Control();
    control.layout = &layout;
    control.text = layout.text ? WString(layout.text) : WString();
    control.visible = !layout.hidden;
  }
  Control& languages = *const_cast<Control*>(Find(1046));
  for (const char16_t* item : kLanguageListItems) languages.items.push_back(item);

  title.clear();
  endResult.reset();
  endRequested_ = false;
  events_ = &events;
  open_ = true;
  Deliver([&] { events.OnInitDialog(); });
  return endResult.value_or(kStillOpen);
}

void TestDialogHost::EndDialog(int result) {
  if (!open_) return Misuse("EndDialog", result, "the dialog is not open");
  endResult = result;
  endRequested_ = true;
  if (depth_ == 0) Deliver([] {});
}

WString TestDialogHost::WindowTitle() {
  if (!open_) Misuse("WindowTitle", 0, "the dialog is not open");
  return open_ ? title : WString();
}

void TestDialogHost::SetWindowTitle(const WString& text) {
  if (!open_) return Misuse("SetWindowTitle", 0, "the dialog is not open");
  title = text;
}

void TestDialogHost::SetIcon(int resourceId) {
  if (!open_) return Misuse("SetIcon", resourceId, "the dialog is not open");
  iconResource = resourceId;
}

Picture TestDialogHost::LoadPicture(int resourceId) {
  auto found = pictures.find(resourceId);
  return found == pictures.end() ? Picture{} : found->second;
}

// --- Controls ---

WString TestDialogHost::ControlText(int id) {
  const Control* control = Use(id, "ControlText");
  if (!control) return WString();
  switch (control->layout->kind) {
    case ControlKind::kDropList:
      return control->selection >= 0 ? control->items[static_cast<size_t>(control->selection)]
                                     : WString();
    case ControlKind::kIpAddress:
      return WidenAscii(DottedAddress(control->address));
    default:
      return control->text;
  }
}

void TestDialogHost::SetControlText(int id, const WString& text) {
  Control* control = Use(id, "SetControlText");
  if (!control) return;
  if (control->layout->kind == ControlKind::kDropList ||
      control->layout->kind == ControlKind::kIpAddress) {
    return Misuse("SetControlText", id, "a list or an address field has no text of its own");
  }
  control->text = text;
}

int TestDialogHost::RadioGroupPosition(int firstId) {
  int position = -1;
  int index = 0;
  // As the classic dialog framework reads it: the last checked button wins.
  for (const Control* radio : Group(firstId, "RadioGroupPosition")) {
    if (radio->checked) position = index;
    ++index;
  }
  return position;
}

void TestDialogHost::SetRadioGroupPosition(int firstId, int position) {
  int index = 0;
  for (Control* radio : Group(firstId, "SetRadioGroupPosition")) {
    radio->checked = index++ == position;
  }
}

bool TestDialogHost::IsChecked(int id) {
  const Control* control = Use(id, "IsChecked");
  return control && control->checked;
}

void TestDialogHost::SetChecked(int id, bool checked) {
  Control* control = Use(id, "SetChecked");
  if (!control) return;
  if (control->layout->kind != ControlKind::kRadio &&
      control->layout->kind != ControlKind::kCheckBox) {
    return Misuse("SetChecked", id, "neither a radio button nor a check box");
  }
  control->checked = checked;
}

int TestDialogHost::ComboCount(int id) {
  const Control* control = Use(id, "ComboCount", ControlKind::kDropList);
  return control ? static_cast<int>(control->items.size()) : 0;
}

WString TestDialogHost::ComboItem(int id, int index) {
  const Control* control = Use(id, "ComboItem", ControlKind::kDropList);
  if (!control || index < 0 || static_cast<size_t>(index) >= control->items.size()) {
    return WString();
  }
  return control->items[static_cast<size_t>(index)];
}

int TestDialogHost::ComboSelection(int id) {
  const Control* control = Use(id, "ComboSelection", ControlKind::kDropList);
  return control ? control->selection : -1;
}

void TestDialogHost::SetComboSelection(int id, int index) {
  Control* control = Use(id, "SetComboSelection", ControlKind::kDropList);
  if (!control) return;
  // An index outside the list clears the selection, as CB_SETCURSEL does.
  const bool valid = index >= 0 && static_cast<size_t>(index) < control->items.size();
  control->selection = valid ? index : -1;
}

int TestDialogHost::AddComboItem(int id, const WString& text) {
  Control* control = Use(id, "AddComboItem", ControlKind::kDropList);
  if (!control) return -1;
  control->items.push_back(text);
  return static_cast<int>(control->items.size()) - 1;
}

void TestDialogHost::ClearCombo(int id) {
  Control* control = Use(id, "ClearCombo", ControlKind::kDropList);
  if (!control) return;
  control->items.clear();
  control->selection = -1;
}

uint32_t TestDialogHost::IpAddress(int id) {
  const Control* control = Use(id, "IpAddress", ControlKind::kIpAddress);
  return control ? control->address : 0;
}

void TestDialogHost::SetIpAddress(int id, uint32_t address) {
  Control* control = Use(id, "SetIpAddress", ControlKind::kIpAddress);
  if (control) control->address = address;
}

void TestDialogHost::ShowControl(int id, bool visible) {
  if (Control* control = Use(id, "ShowControl")) control->visible = visible;
}

void TestDialogHost::EnableControl(int id, bool enabled) {
  if (Control* control = Use(id, "EnableControl")) control->enabled = enabled;
}

bool TestDialogHost::IsControlVisible(int id) {
  const Control* control = Use(id, "IsControlVisible");
  return control && control->visible;
}

bool TestDialogHost::IsControlEnabled(int id) {
  const Control* control = Use(id, "IsControlEnabled");
  return control && control->enabled;
}

void TestDialogHost::AddNotifyStyle(int id) {
  if (Control* control = Use(id, "AddNotifyStyle", ControlKind::kStatic)) control->notify = true;
}

void TestDialogHost::SetControlFont(int id, const FontSpec& font) {
  if (Control* control = Use(id, "SetControlFont")) control->font = font;
}

void TestDialogHost::SetControlTextColour(int id, uint32_t colour) {
  if (Control* control = Use(id, "SetControlTextColour")) control->textColour = colour;
}

// --- Timers, messages, workers ---

void TestDialogHost::StartTimer(unsigned timerId, unsigned periodMs) {
  if (CarriedToDialog("StartTimer", [&] { StartTimer(timerId, periodMs); })) return;
  if (!open_) return Misuse("StartTimer", static_cast<int>(timerId), "the dialog is not open");
  timers[timerId] = periodMs;
  timerChanges.push_back({timerId, periodMs});
}

void TestDialogHost::StopTimer(unsigned timerId) {
  if (CarriedToDialog("StopTimer", [&] { StopTimer(timerId); })) return;
  if (timers.erase(timerId) > 0) timerChanges.push_back({timerId, 0});
}

Answer TestDialogHost::ShowMessage(const WString& text, MessageKind kind) {
  if (OffDialogThread()) {
    Misuse("ShowMessage", 0, "called off the dialog's thread");
    return kind == MessageKind::kQuestion ? Answer::kNo : Answer::kOk;
  }
  Answer answer = Answer::kOk;
  if (kind == MessageKind::kQuestion) {
    if (answers.empty()) {
      ++unscriptedQuestions;
      misuses.push_back("ShowMessage: a question nobody scripted an answer for");
      answer = Answer::kNo;
    } else {
      answer = answers.front();
      answers.pop_front();
      if (answer == Answer::kOk) misuses.push_back("ShowMessage: OK scripted for a question");
    }
  }
  messages.push_back({text, kind, answer, open_});
  if (whileShown) whileShown(text);
  return answer;
}

void TestDialogHost::PostUserMessage(uintptr_t wParam, intptr_t lParam) {
  if (!open_) return;
  std::lock_guard<std::mutex> lock(postedLock_);
  posted_.emplace_back(wParam, lParam);
}

bool TestDialogHost::StartWorker(std::function<void()> work) {
  if (workersFailToStart) return false;
  ++workersStarted;
  if (runWorkersAtOnce) {
    work();
  } else {
    workers_.push_back(std::move(work));
  }
  return true;
}

void TestDialogHost::WaitForWorkers() {
  ++workerWaits;
  RunWorkers();
}

void TestDialogHost::ShowWaitCursor(bool waiting) {
  if (CarriedToDialog("ShowWaitCursor", [&] { ShowWaitCursor(waiting); })) return;
  if (waiting) {
    ++waitCursors;
    ++waitCursorsShown;
  } else if (waitCursors == 0) {
    misuses.push_back("ShowWaitCursor: a wait ended that was never shown");
  } else {
    --waitCursors;
  }
}

bool TestDialogHost::FireTimer(unsigned timerId) {
  if (!IsTimerRunning(timerId)) return false;
  return Deliver([&] { events_->OnTimer(timerId); });
}

int TestDialogHost::PumpPostedMessages() {
  int delivered = 0;
  while (open_) {
    std::pair<uintptr_t, intptr_t> message;
    {
      std::lock_guard<std::mutex> lock(postedLock_);
      if (posted_.empty()) break;
      message = posted_.front();
      posted_.pop_front();
    }
    Deliver([&] { events_->OnUserMessage(message.first, message.second); });
    ++delivered;
  }
  return delivered;
}

int TestDialogHost::RunWorkers() {
  int ran = 0;
  while (!workers_.empty()) {
    std::function<void()> work = std::move(workers_.front());
    workers_.pop_front();
    work();
    ++ran;
  }
  return ran;
}

// --- The user ---

bool TestDialogHost::Click(int id) {
  if (!UserInput(id, "Click")) return false;
  Control& control = *const_cast<Control*>(Find(id));
  if (control.layout->kind == ControlKind::kRadio) {
    // An auto radio button checks itself and clears the rest of its group.
    size_t start = 0;
    for (size_t i = 0; i < controls_.size(); ++i) {
      if (controls_[i].layout->groupStart) start = i;
      if (controls_[i].layout->id == id) break;
    }
    for (Control* radio : Group(controls_[start].layout->id, "Click")) radio->checked = false;
    control.checked = true;
  } else if (control.layout->kind == ControlKind::kCheckBox) {
    control.checked = !control.checked;
  }
  return Deliver([&] { events_->OnCommand(id, kButtonClicked); });
}

bool TestDialogHost::DoubleClick(int id) {
  if (!UserInput(id, "DoubleClick") || !Find(id)->notify) return false;
  return Deliver([&] { events_->OnCommand(id, kStaticDoubleClicked); });
}

bool TestDialogHost::SelectComboItem(int id, int index) {
  if (!UserInput(id, "SelectComboItem")) return false;
  Control& control = *const_cast<Control*>(Find(id));
  if (index < 0 || static_cast<size_t>(index) >= control.items.size()) {
    Misuse("SelectComboItem", id, "no item at that index");
    return false;
  }
  control.selection = index;
  return Deliver([&] { events_->OnCommand(id, kComboSelectionChange); });
}

bool TestDialogHost::OpenComboList(int id) {
  if (!UserInput(id, "OpenComboList")) return false;
  return Deliver([&] { events_->OnCommand(id, kComboDropDown); });
}

bool TestDialogHost::PressEnter() {
  if (answering_) return false;
  return Deliver([&] { events_->OnOk(); });
}

bool TestDialogHost::PressEscape() {
  if (answering_) return false;
  return Deliver([&] { events_->OnCancel(); });
}

}  // namespace kestrava
