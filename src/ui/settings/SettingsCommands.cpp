// The Settings command and the hidden commands on one card. Each stops the refresh timer while it
// runs and restarts it with the after-command delay when it ends, whatever the outcome; the
// card's transactions run as busy work, so the window keeps painting while a card answers slowly.
#include "flows/SettingsFlow.h"
#include "flows/StandaloneFlows.h"
#include "ui/main/BusyWork.h"
#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"
#include "ui/main/SerialNumberDlg.h"
#include "ui/settings/CfgSheet.h"
#include "ui/settings/IpV4Dlg.h"
#include "ui/settings/PageDlg.h"
#include "ui/settings/PasswordPage.h"

namespace quillon {

namespace {

// Stops the refresh timer for as long as the command runs; then the list has the focus and the
// timer runs again with the shorter delay.
class CommandOnCard {
 public:
  explicit CommandOnCard(KestrelDlg& window) : window_(window) { window_.StopRefreshTimer(); }
  ~CommandOnCard() {
    window_.FocusList();
    window_.RestartRefreshTimer(window_.session().timing().refresh_after_command);
  }
  CommandOnCard(const CommandOnCard&) = delete;
  CommandOnCard& operator=(const CommandOnCard&) = delete;

 private:
  KestrelDlg& window_;
};

}  // namespace

void RunSettingsCommand(KestrelDlg& window, int device, const CommandServices& services) {
  const CommandOnCard command(window);
  SettingsFlow flow(window.session(), services.prompter, window.Tables().Device(device).record);
  if (!RunBusy([&] { return flow.Read(); })) return;

  CfgSheet sheet(services.prompter, flow.Ipv6PagePresent(), &window);
  sheet.Open(flow.SheetOpening(), flow.FirmwareK());
  sheet.SetConfirmer([&flow](const SheetEntries& entries) { return flow.Confirm(entries); });
  if (sheet.exec() != QDialog::Accepted) return;

  const SheetEntries entries = sheet.Entries();
  const SettingsFlow::Applied applied = RunBusy([&] { return flow.Apply(entries); });
  if (applied.refresh) window.Refresh();
}

// The level the page assumes is the card's own, from the short block the command reads: DHCP
// shows what the Settings sheet would show for the same card. BOOTP is not offered here.
void RunIpSettingsCommand(KestrelDlg& window, int device, const CommandServices& services) {
  const CommandOnCard command(window);
  Ipv4SettingsFlow flow(window.session(), services.prompter, window.Tables().Device(device).record);
  if (!RunBusy([&] { return flow.Begin(); })) return;

  auto* page = new IpV4Dlg;
  page->Open(flow.Page(), /*firmware_k=*/false);
  PageDlg dialog(
      *page,
      [&] {
        const Ipv4Entries entries = page->Entries();
        return RunBusy([&] { return flow.Finish(entries); });
      },
      &window);
  dialog.exec();
}

void RunSetPasswordCommand(KestrelDlg& window, int device, const CommandServices& services) {
  const CommandOnCard command(window);
  SetPasswordFlow flow(window.session(), services.prompter, window.Tables().Device(device).record);
  if (!RunBusy([&] { return flow.Begin(); })) return;

  auto* page = new PasswordPage;
  page->Open({});
  PageDlg dialog(
      *page,
      [&] {
        const PasswordEntries entries = page->Entries();
        return RunBusy([&] { return flow.Finish(entries); });
      },
      &window);
  dialog.exec();
}

void RunSerialNumberCommand(KestrelDlg& window, int device, const CommandServices& services) {
  const CommandOnCard command(window);
  SerialNumberFlow flow(window.session(), services.prompter, window.Tables().Device(device).record);
  if (!RunBusy([&] { return flow.Begin(); })) return;

  SerialNumberDlg dialog(&window);
  dialog.SetNumberText(QString::fromLatin1(SerialNumberFlow::kDefaultNumberText));
  if (dialog.exec() != QDialog::Accepted) return;
  const std::uint32_t number = LenientSerialNumber(dialog.NumberText().toStdString());
  RunBusy([&] { flow.Assign(number); });
}

}  // namespace quillon
