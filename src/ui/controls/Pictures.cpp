#include "ui/controls/Pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace quillon {

QPixmap RenderSvg(const QString& resource, QSize size) {
  QSvgRenderer renderer(resource);
  if (!renderer.isValid()) return {};
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  renderer.render(&painter);
  return picture;
}

}  // namespace quillon
