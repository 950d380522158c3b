// The text output of a run from a command line: the console of the process that started the
// program, or the file or pipe its standard output was redirected to. The program is a GUI
// program, so a console is attached only when there is one to attach to; without any (started
// from the desktop, a service or a scheduler) the lines go nowhere. The console is also where
// the user asks a run to stop: Ctrl+C, Ctrl+Break, or closing its window.
#pragma once

#include "platform/text.h"

namespace kestrava {

class Console {
 public:
  virtual ~Console() = default;

  // Finds where the lines go and, from then on, listens for the user's interruption. The first
  // WriteLine does it by itself; a run calls it first, so that an interruption before its first
  // line is heard too. Calling it again does nothing.
  virtual void Connect() = 0;

  // One line, ended as the system ends lines. Text to a file or pipe is UTF-8 without a byte
  // order mark; a console is given the text itself.
  virtual void WriteLine(const WString& line) = 0;

  // Whether the user has asked the run to stop since Connect.
  virtual bool InterruptionRequested() = 0;
};

}  // namespace kestrava
