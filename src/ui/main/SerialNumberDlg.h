// The serial number prompt: one field and no buttons; Enter confirms and Escape cancels. The
// number is read by the caller; this window only holds its text.
#pragma once

#include <QDialog>

class QLineEdit;

namespace quillon {

class SerialNumberDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxNumberLength = 18;

  explicit SerialNumberDlg(QWidget* parent = nullptr);

  void SetNumberText(const QString& text);
  QString NumberText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* number_ = nullptr;
};

}  // namespace quillon
