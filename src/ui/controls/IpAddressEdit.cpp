#include "ui/controls/IpAddressEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyleOptionFrame>
#include <algorithm>

namespace quillon {

namespace {

constexpr int kMaxDigits = 3;
constexpr int kMaxFieldValue = 255;

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  layout->setContentsMargins(frame + 1, frame, frame + 1, frame);
  layout->setSpacing(0);
  auto* digits =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  for (int field = 0; field < kFieldCount; ++field) {
    auto* edit = new QLineEdit(this);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMaxLength(kMaxDigits);
    edit->setValidator(digits);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setTextMargins(0, 0, 0, 0);
    // Tab enters at the first field only, and leaves from any field.
    edit->setFocusPolicy(field == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, field] { OnTextEdited(field); });
    fields_[Slot(field)] = edit;
    layout->addWidget(edit, 1);
    if (field + 1 < kFieldCount) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
      dot->setFixedWidth(dot->fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2);
      dots_[Slot(field)] = dot;
      layout->addWidget(dot);
    }
  }
  setFocusProxy(fields_[0]);
  setFocusPolicy(Qt::StrongFocus);
  connect(qApp, &QApplication::focusChanged, this, &IpAddressEdit::OnFocusChanged);
  connect(this, &QObject::objectNameChanged, this, &IpAddressEdit::NameFields);
}

std::uint32_t IpAddressEdit::Value() const {
  std::uint32_t value = 0;
  for (int field = 0; field < kFieldCount; ++field) {
    value = (value << 8) | static_cast<std::uint32_t>(FieldValue(field));
  }
  return value;
}

void IpAddressEdit::SetValue(std::uint32_t value) {
  for (int field = 0; field < kFieldCount; ++field) {
    SetField(field, QString::number((value >> (8 * (kFieldCount - 1 - field))) & 0xFF));
  }
}

QString IpAddressEdit::Text() const {
  return QString::asprintf("%d.%d.%d.%d", FieldValue(0), FieldValue(1), FieldValue(2),
                           FieldValue(3));
}

void IpAddressEdit::SetText(const QString& text) {
  const QStringList parts = text.split(QLatin1Char('.'));
  for (int field = 0; field < kFieldCount; ++field) {
    QString shown;
    if (field < parts.size()) {
      bool number = false;
      const qlonglong value = parts[field].trimmed().toLongLong(&number);
      if (number && value >= 0) shown = QString::number(std::min<qlonglong>(value, kMaxFieldValue));
    }
    SetField(field, shown);
  }
}

void IpAddressEdit::Clear() {
  for (int field = 0; field < kFieldCount; ++field) SetField(field, QString());
}

bool IpAddressEdit::IsBlank() const {
  return std::all_of(fields_.begin(), fields_.end(),
                     [](const QLineEdit* edit) { return edit->text().isEmpty(); });
}

QSize IpAddressEdit::sizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  const QMargins margins = layout()->contentsMargins();
  const int field = metrics.horizontalAdvance(QStringLiteral("888")) + 4;
  int width = kFieldCount * field + margins.left() + margins.right();
  for (const QLabel* dot : dots_) width += dot->width();
  return QSize(width, metrics.height() + 4 + margins.top() + margins.bottom());
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  const int field = IndexOf(watched);
  if (field < 0) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) return HandleKey(field, static_cast<QKeyEvent&>(*event));
  if (event->type() == QEvent::FocusOut) {
    // "007" is shown as "7" once the field is left.
    const QString text = Field(field)->text();
    if (!text.isEmpty() && text != QString::number(FieldValue(field))) {
      SetField(field, QString::number(FieldValue(field)));
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool IpAddressEdit::HandleKey(int field, QKeyEvent& key) {
  QLineEdit& edit = *Field(field);
  const bool at_start = edit.cursorPosition() == 0 && !edit.hasSelectedText();
  const bool at_end = edit.cursorPosition() == edit.text().size() && !edit.hasSelectedText();
  const bool plain = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const bool just_advanced = advanced_to_ == field;
  advanced_to_ = -1;
  switch (key.key()) {
    case Qt::Key_Period:
      // Ignored right after three digits have moved on, and in an empty field, so that such a
      // "." does not skip a field, whether the field it lands in was empty or not.
      if (just_advanced) return true;
      if (field + 1 < kFieldCount && !edit.text().isEmpty()) FocusField(field + 1, true, false);
      return true;
    case Qt::Key_Backspace:
      if (!at_start || field == 0) return false;
      FocusField(field - 1, false, true);
      return true;
    case Qt::Key_Left:
      if (!plain || !at_start || field == 0) return false;
      FocusField(field - 1, false, true);
      return true;
    case Qt::Key_Right:
      if (!plain || !at_end || field + 1 == kFieldCount) return false;
      FocusField(field + 1, false, false);
      return true;
    default:
      return false;
  }
}

void IpAddressEdit::OnTextEdited(int field) {
  QLineEdit& edit = *Field(field);
  if (edit.text().toInt() > kMaxFieldValue) edit.setText(QString::number(kMaxFieldValue));
  emit FieldChanged(field);
  if (edit.text().size() == kMaxDigits && edit.cursorPosition() == kMaxDigits &&
      field + 1 < kFieldCount) {
    FocusField(field + 1, true, false);
    advanced_to_ = field + 1;
  }
}

void IpAddressEdit::OnFocusChanged(QWidget* old, QWidget* now) {
  const bool was_inside = IndexOf(old) >= 0;
  const bool is_inside = IndexOf(now) >= 0;
  if (advanced_to_ >= 0 && now != Field(advanced_to_)) advanced_to_ = -1;
  if (was_inside || is_inside) update();  // the frame shows the focus
  if (is_inside && !was_inside) emit FocusEntered();
}

void IpAddressEdit::FocusField(int field, bool select_all, bool cursor_at_end) {
  QLineEdit& edit = *Field(field);
  edit.setFocus(Qt::OtherFocusReason);
  if (select_all) {
    edit.selectAll();
  } else {
    edit.setCursorPosition(cursor_at_end ? static_cast<int>(edit.text().size()) : 0);
  }
}

void IpAddressEdit::SetField(int field, const QString& text) {
  if (Field(field)->text() == text) return;
  Field(field)->setText(text);
  emit FieldChanged(field);
}

int IpAddressEdit::FieldValue(int field) const {
  return std::min(Field(field)->text().toInt(), kMaxFieldValue);
}

int IpAddressEdit::IndexOf(const QObject* object) const {
  if (object == nullptr) return -1;
  const auto found = std::find(fields_.begin(), fields_.end(), object);
  return found == fields_.end() ? -1 : static_cast<int>(found - fields_.begin());
}

void IpAddressEdit::NameFields(const QString& name) {
  for (int field = 0; field < kFieldCount; ++field) {
    Field(field)->setObjectName(name + QStringLiteral("Field") + QString::number(field));
  }
}

void IpAddressEdit::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.rect = rect();
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  if (IndexOf(QApplication::focusWidget()) >= 0) option.state |= QStyle::State_HasFocus;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void IpAddressEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}

}  // namespace quillon
