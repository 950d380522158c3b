#include "app/dialog/confing_dialog.h"

#include <algorithm>
#include <iterator>

#include "app/command_line/command_line.h"
#include "app/dialog/captions.h"
#include "app/dialog/dialog_template.h"
#include "app/language.h"
#include "install/printer_ports.h"
#include "payload/working_folder.h"

namespace kestrava {

namespace {

constexpr int kFirstValidInterface = 0;
constexpr int kLastValidInterface = 99;
constexpr const char16_t* kRangeMessage = u"Please enter an integer between 0 and 99.";

}  // namespace

int32_t OsChoiceForRelease(int osNamePosition) {
  // osNames: 2000, XP, 2003, Vista, 7, 8, 8.1, 10, 10.1, 11.
  constexpr int32_t kRadioOf[kOsNameCount] = {4, 3, 4, 2, 5, 1, 1, 0, 0, 6};
  if (osNamePosition < 0 || osNamePosition >= kOsNameCount) return -1;
  return kRadioOf[osNamePosition];
}

WString OsChoiceName(int32_t choice) {
  constexpr const char16_t* kRadios[] = {u"Windows 10", u"Windows 8/8.1", u"Windows Vista",
                                         u"Windows XP", u"Windows 2003",  u"Windows 7",
                                         u"Windows 11"};
  if (choice < 0 || choice >= static_cast<int32_t>(std::size(kRadios))) return WString();
  return kRadios[choice];
}

ConfingDialog::ConfingDialog(const Services& services)
    : engine(EngineServicesOf(services)),
      uiLanguage(StartupLanguage(services.system.UserDefaultUiLanguage())),
      baudCombo(services.dialog, control::kBaudList),
      ipAddressField(services.dialog, control::kIpAddress),
      portCombo(services.dialog, control::kPortList),
      payloadExtracted(std::make_shared<std::atomic<bool>>(false)),
      workingFolder(WorkingFolder(services.system, services.shell)),
      services_(services),
      host_(services.dialog) {}

bool ConfingDialog::ExchangeControlData(bool save) {
  if (save) {
    osChoice = host_.RadioGroupPosition(control::kOsFirst);
    modelChoice = host_.RadioGroupPosition(control::kModelFirst);
    osMessage = host_.ControlText(control::kOsMessage);
    setDefaultPrinter = host_.IsChecked(control::kSetDefault);
    portKindChoice = host_.RadioGroupPosition(control::kInterfaceFirst);
    lanDiscovery_->SetInterfaceKind(portKindChoice);
    if (portKindChoice < kFirstValidInterface || portKindChoice > kLastValidInterface) {
      host_.ShowMessage(kRangeMessage, MessageKind::kWarning);
      return false;
    }
    portText = host_.ControlText(control::kPortTextCarrier);
    btDeviceName = host_.ControlText(control::kBluetoothName);
    return true;
  }
  host_.SetRadioGroupPosition(control::kOsFirst, osChoice);
  host_.SetRadioGroupPosition(control::kModelFirst, modelChoice);
  host_.SetControlText(control::kOsMessage, osMessage);
  host_.SetChecked(control::kSetDefault, setDefaultPrinter);
  host_.SetRadioGroupPosition(control::kInterfaceFirst, portKindChoice);
  lanDiscovery_->SetInterfaceKind(portKindChoice);
  host_.SetControlText(control::kPortTextCarrier, portText);
  host_.SetControlText(control::kBluetoothName, btDeviceName);
  return true;
}

void ConfingDialog::DetectPlatformIntoMessage() {
  const char* release = kUnknownRelease;
  const char* architecture = "Unknown";
  engine.DetectPlatform(release, architecture);
  archName = services_.system.AnsiToWide(architecture);
  osName = services_.system.AnsiToWide(release);
  osMessage = FormatOsMessage(uiLanguage, osName, archName);
  // An unknown release keeps the first radio ("Windows 10").
  const int32_t radio = OsChoiceForRelease(OsNamePosition(release));
  if (radio >= 0) osChoice = radio;
}

bool ConfingDialog::OnInitDialog() {
  ExchangeControlData(false);
  host_.SetIcon(kIconResource);
  testPageBitmap = host_.LoadPicture(kTestPageBitmapResource);
  messages.Fill(uiLanguage);
  osMessageClicks = 0;
  host_.AddNotifyStyle(control::kOsMessage);
  host_.SetControlFont(control::kRemark, linkFont);
  host_.SetControlFont(control::kPortTextCarrier, linkFont);
  host_.SetControlTextColour(control::kPortTextCarrier, kPortTextColour);

  uiLanguage = StartupLanguage(static_cast<uint16_t>(uiLanguage));
  host_.SetComboSelection(control::kLanguageList, LanguageListItem(uiLanguage));
  ApplyLanguage(host_, uiLanguage);

  DetectPlatformIntoMessage();
  Log(FormatText(u"start: KestravaSetup %s with its dialog, %s %s, language %d, %s",
                 {WidenAscii(KESTRAVA_VERSION), osName, archName, uiLanguage,
                  services_.process.IsElevated() ? u"elevated" : u"not elevated"}));

  for (const char16_t* rate : kSerialBaudRates) baudCombo.Add(rate);
  baudCombo.Select(kSerialBaudItem);
  ipAddressField.SetAddress(kDefaultPrinterAddress);
  host_.StartTimer(kPortPollTimer, kPortPollPeriodMs);
  ExchangeControlData(false);

  auto extraction = std::make_shared<PayloadExtraction>(
      services_.files, services_.system, services_.process, services_.security, workingFolder);
  host_.StartWorker(
      [extraction, extracted = payloadExtracted] { PayloadWorker(*extraction, *extracted); });
  return true;
}

void ConfingDialog::OnLanguageChosen() {
  uiLanguage = LanguageOfListItem(host_.ComboSelection(control::kLanguageList));
  Log(FormatText(u"language: %d", {uiLanguage}));
  ApplyLanguage(host_, uiLanguage);
  messages.Fill(uiLanguage);
  osMessage = FormatOsMessage(uiLanguage, osName, archName);
  ExchangeControlData(false);
}

void ConfingDialog::OnCommand(int controlId, int notification) {
  if (controlId == control::kLanguageList && notification == kComboSelectionChange) {
    OnLanguageChosen();
  } else if (controlId == kCheckPortButton && notification == kButtonClicked) {
    OnCheckPort();
  } else if (controlId == control::kSelfTestButton && notification == kButtonClicked) {
    OnSelfTest();
  } else if (controlId == control::kInstallButton && notification == kButtonClicked) {
    OnInstall();
  } else if (controlId == control::kPortList &&
             (notification == kComboSelectionChange || notification == kComboDropDown)) {
    OnPortListSelection();
  } else if (controlId == control::kOsMessage && notification == kStaticDoubleClicked) {
    OnOsMessageDoubleClick();
  } else if (notification == kButtonClicked &&
             std::find(std::begin(control::kInterfaceRadios), std::end(control::kInterfaceRadios),
                       controlId) != std::end(control::kInterfaceRadios)) {
    OnInterfaceChosen();
  }
}

void ConfingDialog::OnTimer(unsigned timerId) {
  if (timerId == kPortPollTimer) {
    OnPortPollTick();
  } else {
    OnButtonTimer(timerId);
  }
}

void ConfingDialog::OnUserMessage(uintptr_t wParam, intptr_t) {
  if (wParam != 0 || portKindChoice != kLanInterface) return;
  if (!ExchangeControlData(true)) return;
  RefreshPortCombo(discoveredPrinters.Snapshot(), kSearchingIp, false);
  ExchangeControlData(false);
}

void ConfingDialog::OnOk() {
  if (ExchangeControlData(true)) host_.EndDialog(1);
}

void ConfingDialog::OnCancel() {
  host_.EndDialog(2);
}

}  // namespace kestrava
