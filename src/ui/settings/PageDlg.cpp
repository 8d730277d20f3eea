#include "ui/settings/PageDlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QVBoxLayout>

#include "ui/controls/DialogUnits.h"
#include "ui/settings/OkCancelRow.h"
#include "ui/settings/SheetPage.h"

namespace quillon {

PageDlg::PageDlg(SheetPage& page, Confirmer confirm, QWidget* parent)
    : QDialog(parent), page_(page), confirm_(std::move(confirm)) {
  setObjectName(QStringLiteral("pageDlg"));
  setWindowTitle(page.Caption());
  setWindowIcon(QIcon(QStringLiteral(":/icons/settings-sheet.svg")));
  setFont(dialog_units::Font());

  QHBoxLayout* buttons = OkCancelRow(*this);
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
