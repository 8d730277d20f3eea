#include "ui/controls/HoverButtonCl.h"

#include <qdrawutil.h>

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "ui/controls/HandCursor.h"

namespace quillon {

HoverButtonCl::HoverButtonCl(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  setCursor(HandCursor());
  setAttribute(Qt::WA_NoSystemBackground);
}

void HoverButtonCl::SetSkin(ButtonSkin skin) {
  if (skin.disabled.isNull()) skin.disabled = skin.normal;
  // An inset with the top bit of a 16-bit value set means none.
  if (skin.focus_inset < 0 || (skin.focus_inset & 0x8000) != 0) skin.focus_inset = 0;
  skin_ = std::move(skin);
  updateGeometry();
  update();
}

HoverButtonCl::Face HoverButtonCl::CurrentFace() const {
  if (!isEnabled()) return Face::kDisabled;
  if (isDown()) return Face::kPressed;
  if (hover_ && !skin_.hover.isNull()) return Face::kHover;
  return Face::kNormal;
}

QSize HoverButtonCl::sizeHint() const {
  return skin_.normal.isNull() ? QSize(75, 23) : skin_.normal.size();
}

const QPixmap& HoverButtonCl::Picture(Face face) const {
  switch (face) {
    case Face::kDisabled:
      return skin_.disabled;
    case Face::kPressed:
      return skin_.pressed;
    case Face::kHover:
      return skin_.hover;
    case Face::kNormal:
      break;
  }
  return skin_.normal;
}

void HoverButtonCl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const Face face = CurrentFace();
  const QPixmap& picture = Picture(face);
  if (picture.isNull()) {
    painter.fillRect(rect(), palette().button());
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture);
  }
  if (skin_.border) qDrawWinButton(&painter, rect(), palette(), face == Face::kPressed);
  if (face != Face::kDisabled && hasFocus() && skin_.focus_inset > 0) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(skin_.focus_inset, skin_.focus_inset, -skin_.focus_inset,
                                  -skin_.focus_inset);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
  DrawCaption(painter, face);
}

void HoverButtonCl::DrawCaption(QPainter& painter, Face face) const {
  if (text().isEmpty()) return;
  painter.setClipRect(rect());
  const int flags = Qt::AlignCenter | Qt::TextSingleLine;
  if (face == Face::kDisabled) {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(rect().translated(1, 1), flags, text());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
  } else {
    painter.setPen(palette().color(QPalette::ButtonText));
  }
  painter.drawText(rect(), flags, text());
}

void HoverButtonCl::leaveEvent(QEvent* event) {
  hover_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void HoverButtonCl::mousePressEvent(QMouseEvent* event) {
  hover_ = false;
  if (event->button() == Qt::LeftButton) button_down_ = true;
  QAbstractButton::mousePressEvent(event);
}

void HoverButtonCl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) button_down_ = false;
  QAbstractButton::mouseReleaseEvent(event);
}

// The hover picture comes with a move over the button, not while a press is dragged around;
// after a press it comes back with the next move.
void HoverButtonCl::mouseMoveEvent(QMouseEvent* event) {
  if (!button_down_ && !hover_ && rect().contains(event->position().toPoint())) {
    hover_ = true;
    update();
  }
  QAbstractButton::mouseMoveEvent(event);
}

// Fast clicking gives one click per press.
void HoverButtonCl::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void HoverButtonCl::focusOutEvent(QFocusEvent* event) {
  button_down_ = false;
  QAbstractButton::focusOutEvent(event);
  update();
}

}  // namespace quillon
