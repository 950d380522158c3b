// The dialog shows the wait cursor while the link writes to a printer.
#pragma once

#include "platform/dialog_host.h"

namespace kestrava {

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  explicit WaitCursor(DialogHost& dialog) : dialog_(dialog) { dialog_.ShowWaitCursor(true); }
  ~WaitCursor() { dialog_.ShowWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  DialogHost& dialog_;
};

}  // namespace kestrava
