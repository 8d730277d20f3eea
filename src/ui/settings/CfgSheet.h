// The "Network Settings" sheet: the IPv4 page, the IPv6 page (cards at level 33 only), the ports
// page ("Advanced") and the password page, with OK and Cancel at the right end and no Apply or
// Help. A page may refuse to be left: its tab stays, with its message. OK runs the confirmation
// it is given (the settings flow's checks, the address question and the card's password) away
// from the window; on a failure the sheet stays open with what was entered, the focus on the
// field concerned.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "flows/Prompter.h"
#include "flows/SettingsChecks.h"

class QTabWidget;

namespace quillon {

class AdvancedDlg;
class IpV4Dlg;
class IpV6Dlg;
class PasswordPage;
class SheetPage;

class CfgSheet : public QDialog {
  Q_OBJECT

 public:
  // Nothing when the sheet may close; otherwise what keeps it open, its message already shown.
  // Runs on a worker thread while the sheet waits.
  using Confirmer = std::function<CheckResult(const SheetEntries& entries)>;

  // Page-leave messages go to `prompter`.
  CfgSheet(Prompter& prompter, bool ipv6_page, QWidget* parent = nullptr);
  ~CfgSheet() override;

  // Fills the pages. BOOTP is offered by the level and the firmware variant.
  void Open(const SheetEntries& entries, bool firmware_k);
  // What the pages hold now; the IPv6 entries only once its tab has been opened.
  SheetEntries Entries() const;
  void SetConfirmer(Confirmer confirm) { confirm_ = std::move(confirm); }

  // The OK button (and Enter): closes only when the confirmation passes.
  void accept() override;

 private:
  void AddPage(SheetPage* page);
  SheetPage* PageAt(int index) const;
  void OnTabChanged(int index);
  void ShowTab(int index);
  void FocusField(SettingsField field);

  Prompter& prompter_;
  Confirmer confirm_;
  SheetEntries opening_;

  QTabWidget* tabs_ = nullptr;
  IpV4Dlg* ipv4_ = nullptr;
  IpV6Dlg* ipv6_ = nullptr;  // null without the IPv6 page
  AdvancedDlg* advanced_ = nullptr;
  PasswordPage* password_ = nullptr;
  std::vector<SheetPage*> pages_;
  int current_ = 0;
  bool switching_back_ = false;
  bool ipv6_opened_ = false;
};

}  // namespace quillon
