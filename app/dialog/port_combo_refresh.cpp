// Keeping the port list equal to a freshly obtained list of port names while preserving the
// user's selection.
#include <algorithm>

#include "app/dialog/confing_dialog.h"

namespace kestrava {

namespace {

// The box must be rebuilt when its items are not the list: another count, or an item (taken
// in order) that the list lacks. Exact, case-sensitive comparison.
bool NeedsRebuild(const ComboBox& box, const std::vector<WString>& ports) {
  const int count = box.Count();
  if (count != static_cast<int>(ports.size())) return true;
  for (int i = 0; i < count; ++i) {
    if (std::find(ports.begin(), ports.end(), box.Item(i)) == ports.end()) return true;
  }
  return false;
}

}  // namespace

void ConfingDialog::RefreshPortCombo(const std::vector<WString>& ports, const WString& placeholder,
                                     bool portTextFollowsSelection,
                                     const std::function<void(int index)>& selected) {
  const auto select = [this, &selected](int index) {
    portCombo.Select(index);
    if (selected) selected(index);
  };
  if (ports.empty()) {
    portText = placeholder;
    // A box that shows the placeholder alone, selected, already is what the refill would make;
    // left alone, it is not redrawn at every refresh.
    if (portCombo.Count() == 1 && portCombo.Selection() == 0 && portCombo.Item(0) == placeholder) {
      return;
    }
    portCombo.Clear();
    portCombo.Add(placeholder);
    portCombo.Select(0);
    return;
  }
  if (!NeedsRebuild(portCombo, ports)) {
    portText = portCombo.SelectedText();
    if (selected) selected(portCombo.Selection());
    return;
  }
  portText = ports.front();
  const bool hadSelection = portCombo.Count() > 0 && portCombo.Selection() >= 0;
  const WString remembered = hadSelection ? portCombo.SelectedText() : WString();
  portCombo.Clear();
  for (const WString& port : ports) {
    const int index = portCombo.Add(port);
    if (hadSelection && port == remembered) {
      select(index);
      if (portTextFollowsSelection) portText = port;
    } else if (portCombo.Selection() <= 0) {
      select(0);
      if (portTextFollowsSelection) portText = ports.front();
    }
  }
}

}  // namespace kestrava
