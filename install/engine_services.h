// The operating-system services the installation engine works through. The engine shows its
// messages only through the dialog host.
#pragma once

#include "platform/clock.h"
#include "platform/dialog_host.h"
#include "platform/files.h"
#include "platform/print_graphics.h"
#include "platform/print_spooler.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/service_manager.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace kestrava {

struct EngineServices {
  SystemInfo& system;
  Files& files;
  Process& process;
  Clock& clock;
  Registry& registry;
  PrintSpooler& spooler;
  Shell& shell;
  PrintGraphics& graphics;
  DialogHost& dialog;
  ServiceManager& serviceManager;
};

}  // namespace kestrava
