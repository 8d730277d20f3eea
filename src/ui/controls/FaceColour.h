// The face colour of dialogs. What should look transparent on a dialog and cannot simply leave
// its background unpainted (the About picture's near-white background) takes it.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace quillon {

inline QColor FaceColour(const QWidget& widget) {
  return widget.palette().color(QPalette::Window);
}

}  // namespace quillon
