#include "ui/controls/HandCursor.h"

#include "ui/controls/Pictures.h"

namespace quillon {

QCursor HandCursor() {
  const QPixmap picture = RenderSvg(QStringLiteral(":/cursors/hand.svg"), QSize(32, 32));
  if (picture.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(picture, 6, 0);
}

}  // namespace quillon
