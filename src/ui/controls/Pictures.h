// Pictures drawn from the program's own SVG resources.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace quillon {

// Renders an SVG resource at exactly `size` pixels; a null pixmap when it cannot be read.
QPixmap RenderSvg(const QString& resource, QSize size);

}  // namespace quillon
