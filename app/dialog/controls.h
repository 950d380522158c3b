// The dialog's control members: thin views of one control of the host by id.
#pragma once

#include <cstdint>

#include "platform/dialog_host.h"

namespace kestrava {

class ComboBox {
 public:
  ComboBox(DialogHost& host, int id) : host_(host), id_(id) {}

  int Count() const { return host_.ComboCount(id_); }
  WString Item(int index) const { return host_.ComboItem(id_, index); }
  int Selection() const { return host_.ComboSelection(id_); }
  // The selected item's text; empty when nothing is selected.
  WString SelectedText() const {
    const int selection = Selection();
    return selection < 0 ? WString() : Item(selection);
  }
  void Select(int index) { host_.SetComboSelection(id_, index); }
  int Add(const WString& text) { return host_.AddComboItem(id_, text); }
  void Clear() { host_.ClearCombo(id_); }
  int id() const { return id_; }

 private:
  DialogHost& host_;
  int id_;
};

class IpAddressField {
 public:
  IpAddressField(DialogHost& host, int id) : host_(host), id_(id) {}

  uint32_t Address() const { return host_.IpAddress(id_); }
  void SetAddress(uint32_t address) { host_.SetIpAddress(id_, address); }
  // Four decimal numbers joined by dots.
  WString Text() const;

 private:
  DialogHost& host_;
  int id_;
};

}  // namespace kestrava
