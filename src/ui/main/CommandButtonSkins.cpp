#include "ui/main/CommandButtonSkins.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/controls/Pictures.h"
#include "ui/main/MainLayout.h"

namespace quillon {

namespace {

struct Face {
  const char* icon;
  const char* label;
};

Face FaceOf(CommandId command) {
  switch (command) {
    case CommandId::kLaunch:
      return {":/pictures/launch.svg", "Launch"};
    case CommandId::kSettings:
      return {":/pictures/settings.svg", "Settings"};
    case CommandId::kUpgrade:
      return {":/pictures/upgrade.svg", "Upgrade"};
    case CommandId::kAbout:
      return {":/pictures/about.svg", "About"};
    default:  // Refresh; the hidden buttons have no picture
      break;
  }
  return {":/pictures/refresh.svg", "Refresh"};
}

enum class State { kNormal, kHover, kPressed };

struct PlateColours {
  QColor top;
  QColor bottom;
  QColor edge;
  QColor label;
};

PlateColours ColoursOf(State state) {
  switch (state) {
    case State::kHover:
      return {QColor(255, 250, 238), QColor(250, 214, 160), QColor(232, 137, 44),
              QColor(31, 58, 95)};
    case State::kPressed:
      return {QColor(196, 212, 232), QColor(228, 236, 246), QColor(23, 43, 70), QColor(23, 43, 70)};
    case State::kNormal:
      break;
  }
  return {QColor(250, 252, 255), QColor(200, 216, 236), QColor(120, 150, 190), QColor(31, 58, 95)};
}

QPixmap DrawPicture(const Face& face, State state) {
  const QSize size = main_layout::kButtonSize;
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);

  const PlateColours colours = ColoursOf(state);
  // A pressed button sinks by one pixel.
  const QPointF shift = state == State::kPressed ? QPointF(1, 1) : QPointF(0, 0);
  const QRectF plate = QRectF(QPointF(2, 2), QSizeF(size) - QSizeF(5, 5)).translated(shift);
  QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
  fill.setColorAt(0, colours.top);
  fill.setColorAt(1, colours.bottom);
  if (state != State::kPressed) {
    QPainterPath shadow;
    shadow.addRoundedRect(plate.translated(2, 2), 12, 12);
    painter.fillPath(shadow, QColor(0, 0, 0, 70));
  }
  QPainterPath outline;
  outline.addRoundedRect(plate, 12, 12);
  painter.fillPath(outline, fill);
  painter.setPen(QPen(colours.edge, state == State::kHover ? 2.0 : 1.2));
  painter.drawPath(outline);

  constexpr int kIconSize = 36;
  const QRectF icon_rect(plate.left() + 8, plate.center().y() - kIconSize / 2.0, kIconSize,
                         kIconSize);
  painter.drawPixmap(icon_rect.toRect(),
                     RenderSvg(QString::fromLatin1(face.icon), QSize(kIconSize, kIconSize)));

  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(15);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(colours.label);
  const QRectF label_rect(icon_rect.right() + 6, plate.top(), plate.right() - icon_rect.right() - 8,
                          plate.height());
  painter.drawText(label_rect, Qt::AlignVCenter | Qt::AlignLeft, QString::fromLatin1(face.label));
  return picture;
}

}  // namespace

ButtonSkin CommandButtonSkin(CommandId command) {
  const Face face = FaceOf(command);
  ButtonSkin skin;
  skin.normal = DrawPicture(face, State::kNormal);
  skin.hover = DrawPicture(face, State::kHover);
  skin.pressed = DrawPicture(face, State::kPressed);
  skin.disabled = skin.normal;
  return skin;
}

}  // namespace quillon
