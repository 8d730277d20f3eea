#include "ui/settings/PageDlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controls/DialogUnits.h"
#include "ui/settings/SheetPage.h"

namespace quillon {

PageDlg::PageDlg(SheetPage& page, Confirmer confirm, QWidget* parent)
    : QDialog(parent), page_(page), confirm_(std::move(confirm)) {
  setObjectName(QStringLiteral("pageDlg"));
  setWindowTitle(page.Caption());
  setWindowIcon(QIcon(QStringLiteral(":/icons/settings-sheet.svg")));
  setFont(dialog_units::Font());

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setFixedSize(dialog_units::Size(50, 14));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  cancel->setFixedSize(dialog_units::Size(50, 14));
  connect(ok, &QPushButton::clicked, this, &PageDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &PageDlg::reject);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(dialog_units::ToPixelsX(4));
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  const int margin = dialog_units::ToPixelsX(7);
  layout->setContentsMargins(0, 0, margin, margin);
  layout->setSpacing(0);
  layout->addWidget(&page);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PageDlg::accept() {
  if (confirm_) {
    if (const CheckResult failure = confirm_()) {
      page_.FocusField(failure->field);
      return;
    }
  }
  QDialog::accept();
}

}  // namespace quillon
