// A read-only, multi-line text box without a background of its own: its text floats on the
// window's picture. No scroll bars, but the keys and the wheel still scroll a long text.
#pragma once

#include <QTextEdit>

namespace quillon {

class EditCl : public QTextEdit {
  Q_OBJECT

 public:
  explicit EditCl(QWidget* parent = nullptr);

  void SetRightAligned(bool right_aligned);
  // Lines may end in "\r\n", as the device texts do.
  void SetText(const QString& text);
  QString Text() const { return toPlainText(); }

 private:
  Qt::Alignment alignment_ = Qt::AlignLeft;
};

}  // namespace quillon
