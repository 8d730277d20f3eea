#include "ui/settings/CfgSheet.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/controls/DialogUnits.h"
#include "ui/main/BusyWork.h"
#include "ui/settings/AdvancedDlg.h"
#include "ui/settings/IpV4Dlg.h"
#include "ui/settings/IpV6Dlg.h"
#include "ui/settings/OkCancelRow.h"
#include "ui/settings/PasswordPage.h"

namespace quillon {

CfgSheet::CfgSheet(Prompter& prompter, bool ipv6_page, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName(QStringLiteral("cfgSheet"));
  setWindowTitle(QStringLiteral("Network Settings"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/settings-sheet.svg")));
  setFont(dialog_units::Font());

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("pageTabs"));
  ipv4_ = new IpV4Dlg(tabs_);
  AddPage(ipv4_);
  if (ipv6_page) {
    ipv6_ = new IpV6Dlg(tabs_);
    AddPage(ipv6_);
  }
  advanced_ = new AdvancedDlg(tabs_);
  AddPage(advanced_);
  password_ = new PasswordPage(tabs_);
  AddPage(password_);

  QHBoxLayout* buttons = OkCancelRow(*this);
  auto* layout = new QVBoxLayout(this);
  const int margin = dialog_units::ToPixelsX(7);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(dialog_units::ToPixelsY(7));
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(tabs_, &QTabWidget::currentChanged, this, &CfgSheet::OnTabChanged);
}

CfgSheet::~CfgSheet() = default;

void CfgSheet::AddPage(SheetPage* page) {
  tabs_->addTab(page, page->Caption());
  pages_.push_back(page);
}

SheetPage* CfgSheet::PageAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) return nullptr;
  return pages_[static_cast<std::size_t>(index)];
}

void CfgSheet::Open(const SheetEntries& entries, bool firmware_k) {
  opening_ = entries;
  const NetworkSettings& s = entries.settings;
  ipv4_->Open({s.ipv4_mode, s.address, s.mask, s.gateway, s.level, false}, firmware_k);
  if (ipv6_) ipv6_->Open(Ipv6EntriesOf(s));
  advanced_->Open(s);
  password_->Open(entries.password);
}

SheetEntries CfgSheet::Entries() const {
  SheetEntries entries = opening_;
  const Ipv4Entries ipv4 = ipv4_->Entries();
  entries.settings.ipv4_mode = ipv4.mode;
  entries.settings.address = ipv4.address;
  entries.settings.mask = ipv4.mask;
  entries.settings.gateway = ipv4.gateway;
  entries.opening_address = ipv4_->OpeningAddress();
  advanced_->StoreInto(entries.settings);
  entries.password = password_->Entries();
  entries.ipv6.reset();
  if (ipv6_ && ipv6_opened_) entries.ipv6 = ipv6_->Entries();
  return entries;
}

void CfgSheet::accept() {
  if (confirm_) {
    const SheetEntries entries = Entries();
    const CheckResult failure = RunBusy([&] { return confirm_(entries); });
    if (failure) {
      FocusField(failure->field);
      return;
    }
  }
  QDialog::accept();
}

// The page being left checks its entries first; a failure brings its tab back at once.
void CfgSheet::OnTabChanged(int index) {
  if (switching_back_ || index == current_) return;
  SheetPage* leaving = PageAt(current_);
  if (const CheckResult failure = leaving ? leaving->LeaveCheck() : std::nullopt) {
    ShowTab(current_);
    prompter_.ShowMessage(failure->message);
    leaving->FocusField(failure->field);
    return;
  }
  current_ = index;
  if (ipv6_ && PageAt(index) == ipv6_) ipv6_opened_ = true;
}

// Changes the tab without asking the page that is left.
void CfgSheet::ShowTab(int index) {
  switching_back_ = true;
  tabs_->setCurrentIndex(index);
  switching_back_ = false;
  current_ = index;
  if (ipv6_ && PageAt(index) == ipv6_) ipv6_opened_ = true;
}

void CfgSheet::FocusField(SettingsField field) {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (!pages_[i]->FieldWidget(field)) continue;
    ShowTab(static_cast<int>(i));
    pages_[i]->FocusField(field);
    return;
  }
}

}  // namespace quillon
