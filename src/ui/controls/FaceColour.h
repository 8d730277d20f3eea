// The face colour of dialogs. Controls that should look transparent on a dialog (the link labels,
// the About picture's background) fill with it.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace quillon {

inline QColor FaceColour(const QWidget& widget) {
  return widget.palette().color(QPalette::Window);
}

}  // namespace quillon
