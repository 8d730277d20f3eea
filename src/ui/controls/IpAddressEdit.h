// An IPv4 address edit: four fields of 0 to 255 with dots between them, typed into as one
// address. Digits only; a number above 255 becomes 255. Three digits or a "." move on to the next
// field (its text selected), Backspace at the start of a field goes back to the previous one, and
// Left and Right cross into the neighbouring field at a field's edge. Tab enters at the first
// field and leaves the control as a whole.
//
// The fields are named after the control: setting the object name "mask" names them "maskField0"
// to "maskField3".
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;

namespace quillon {

class IpAddressEdit : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFieldCount = 4;

  explicit IpAddressEdit(QWidget* parent = nullptr);

  // Host order, the first dotted byte in the high byte; blank fields read as 0.
  std::uint32_t Value() const;
  void SetValue(std::uint32_t value);
  // "%d.%d.%d.%d", blank fields as 0.
  QString Text() const;
  // Takes up to four dot-separated numbers (each clamped to 255); a part that is not a number,
  // and every missing part, leaves its field blank. The empty text blanks the control.
  void SetText(const QString& text);
  void Clear();
  // Every field is empty.
  bool IsBlank() const;

  QLineEdit* Field(int field) const { return fields_[Slot(field)]; }

  QSize sizeHint() const override;

 signals:
  // A field's text changed, by typing or through SetValue / SetText / Clear.
  void FieldChanged(int field);
  // The focus came into one of the fields from outside the control.
  void FocusEntered();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int IndexOf(const QObject* object) const;
  bool HandleKey(int field, QKeyEvent& key);
  void OnTextEdited(int field);
  void OnFocusChanged(QWidget* old, QWidget* now);
  void FocusField(int field, bool select_all, bool cursor_at_end);
  void SetField(int field, const QString& text);
  int FieldValue(int field) const;
  void NameFields(const QString& name);

  static std::size_t Slot(int field) { return static_cast<std::size_t>(field); }

  std::array<QLineEdit*, kFieldCount> fields_{};
  // The field that three digits have just moved into: a "." typed next is the habit of typing
  // the whole address, and is ignored there.
  int advanced_to_ = -1;
  std::array<QLabel*, kFieldCount - 1> dots_{};
};

}  // namespace quillon
