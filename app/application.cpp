#include "app/application.h"

#include "app/command_line/exit_codes.h"
#include "app/command_line/unattended.h"
#include "app/dialog/confing_dialog.h"
#include "app/language.h"

namespace kestrava {

const char16_t* SecondInstanceMessage(uint16_t userUiLanguage) {
  constexpr LocalText kMessage = {u"应用程序已打开", u"Application is open",
                                  u"アプリケーションは開いています"};
  return kMessage.For(userUiLanguage);
}

int CBrevantApp::Run() {
  const std::vector<WString> arguments = services_.process.Arguments();
  if (!arguments.empty()) {
    const int exitCode = RunUnattended(services_, arguments);
    services_.dialog.WaitForWorkers();
    return exitCode;
  }
  if (!services_.process.IsElevated() && !services_.process.IsElevatedCopy()) {
    switch (services_.process.StartElevatedCopy(arguments)) {
      case ElevatedStart::kStarted:
        return kExitDone;
      case ElevatedStart::kRefused:
        return kExitCancelled;
      case ElevatedStart::kFailed:
        break;
    }
  }
  InitApplicationInstance();
  return 0;
}

bool CBrevantApp::InitApplicationInstance() {
  bool alreadyExisted = false;
  std::unique_ptr<InstanceMarker> marker =
      services_.process.CreateInstanceMarker(kInstanceMarkerName, alreadyExisted);
  if (alreadyExisted) {
    services_.dialog.ShowMessage(SecondInstanceMessage(services_.system.UserDefaultUiLanguage()),
                                 MessageKind::kWarning);
    return false;
  }
  services_.process.InitialiseCommonControls(kCommonControlsSize, kCommonControlsClasses);
  services_.process.StartSockets();
  services_.process.RegisterForRestart();

  auto dialog = std::make_unique<ConfingDialog>(services_);
  services_.dialog.RunModal(*dialog);
  dialog.reset();
  // The payload worker and the discovery threads use the services, which go when this returns.
  services_.dialog.WaitForWorkers();
  return false;
}

}  // namespace kestrava
