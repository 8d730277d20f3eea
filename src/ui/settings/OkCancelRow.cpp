#include "ui/settings/OkCancelRow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "ui/controls/DialogUnits.h"

namespace quillon {

namespace {

QPushButton* RowButton(QDialog& dialog, const QString& name, const QString& text) {
  auto* button = new QPushButton(text, &dialog);
  button->setObjectName(name);
  button->setFixedSize(dialog_units::Size(50, 14));
  return button;
}

}  // namespace

QHBoxLayout* OkCancelRow(QDialog& dialog) {
  QPushButton* ok = RowButton(dialog, QStringLiteral("okButton"), QStringLiteral("OK"));
  ok->setDefault(true);
  QPushButton* cancel = RowButton(dialog, QStringLiteral("cancelButton"), QStringLiteral("Cancel"));
  // accept() and reject() are virtual: a dialog's own accept() runs its checks first.
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  auto* row = new QHBoxLayout;
  row->setSpacing(dialog_units::ToPixelsX(4));
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace quillon
