// The dialog's side of LAN discovery: what the interface radios and the 500 ms timer call, and
// the end of the discovery thread before the dialog's members go.
#include "app/dialog/confing_dialog.h"

namespace kestrava {

ConfingDialog::~ConfingDialog() {
  lanDiscovery_->StopDiscoveryThread();
}

void ConfingDialog::StartLanDiscovery() {
  discoveredPrinters.Clear();
  lanDiscovery_->OpenDiscoverySocket();
  lanDiscovery_->RefreshLocalAddresses();
  if (!discoveryRunning) StartDiscoveryThread();
}

void ConfingDialog::LanDiscoveryTick() {
  if (discoveryRunning) {
    lanDiscovery_->CancelPendingReceive();
    return;
  }
  lanDiscovery_->CloseDiscoverySocket();
  lanDiscovery_->OpenDiscoverySocket();
  StartDiscoveryThread();
}

void ConfingDialog::CloseDiscoverySocket() {
  lanDiscovery_->CloseDiscoverySocket();
}

void ConfingDialog::StartDiscoveryThread() {
  DialogHost& host = host_;
  const DiscoveryDialog dialog{discoveredPrinters, discoveryRunning,
                               [&host] { host.PostUserMessage(0, 0); }};
  lanDiscovery_->StartDiscoveryThread(
      dialog, [&host](std::function<void()> work) { return host.StartWorker(std::move(work)); });
}

}  // namespace kestrava
