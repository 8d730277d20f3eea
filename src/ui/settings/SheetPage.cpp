#include "ui/settings/SheetPage.h"

#include <QLineEdit>

namespace quillon {

bool SheetPage::FocusField(SettingsField field) const {
  QWidget* widget = FieldWidget(field);
  if (!widget) return false;
  widget->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
  return true;
}

}  // namespace quillon
