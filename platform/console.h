// The text output of a run from a command line: the console of the process that started the
// program, or the file or pipe its standard output was redirected to. The program is a GUI
// program, so a console is attached only when there is one to attach to; without any (started
// from the desktop, a service or a scheduler) the lines go nowhere.
#pragma once

#include "platform/text.h"

namespace kestrava {

class Console {
 public:
  virtual ~Console() = default;

  // One line, ended as the system ends lines. Text to a file or pipe is UTF-8.
  virtual void WriteLine(const WString& line) = 0;
};

}  // namespace kestrava
