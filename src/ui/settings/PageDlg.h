// One page of the settings shown alone as a modal dialog, under its own caption, with OK and
// Cancel. OK runs the confirmation it is given; on a failure the dialog stays open with what was
// entered, the focus on the field concerned.
#pragma once

#include <QDialog>
#include <functional>

#include "flows/SettingsChecks.h"

namespace quillon {

class SheetPage;

class PageDlg : public QDialog {
  Q_OBJECT

 public:
  // Nothing when the dialog may close; otherwise what keeps it open, its message already shown.
  using Confirmer = std::function<CheckResult()>;

  // Takes `page` into the dialog.
  PageDlg(SheetPage& page, Confirmer confirm, QWidget* parent = nullptr);

  void accept() override;

 private:
  SheetPage& page_;
  Confirmer confirm_;
};

}  // namespace quillon
