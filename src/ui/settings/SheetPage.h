// A page of a tabbed sheet (or of a dialog that shows one page alone). A page keeps its entries
// in its own members while the person edits, may refuse to be left, and names the control that
// holds a field, so that whoever shows a failed check can put the focus there.
#pragma once

#include <QString>
#include <QWidget>

#include "flows/SettingsChecks.h"
#include "ui/controls/DialogUnits.h"

namespace quillon {

class SheetPage : public QWidget {
 public:
  // Every page has the same size, in dialog units.
  static constexpr int kWidthUnits = 240;
  static constexpr int kHeightUnits = 150;

  explicit SheetPage(QWidget* parent = nullptr) : QWidget(parent) {
    setFont(dialog_units::Font());
    setFixedSize(dialog_units::Size(kWidthUnits, kHeightUnits));
  }

  // The page's caption: its tab text, or the dialog's title when it is shown alone.
  virtual QString Caption() const = 0;
  // Nothing when the page may be left; otherwise what keeps the person on it (not yet shown).
  virtual CheckResult LeaveCheck() { return std::nullopt; }
  // The control that holds `field`; null when the field is not on this page.
  virtual QWidget* FieldWidget(SettingsField field) const = 0;
  // Puts the focus on the control of `field`, its text selected; false when it is not here.
  bool FocusField(SettingsField field) const;
};

}  // namespace quillon
