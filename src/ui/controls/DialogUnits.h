// Window layouts are given in dialog units of the 8 pt dialog font: a horizontal unit is a
// quarter of its average character width (6 pixels at 96 DPI), a vertical unit an eighth of its
// height (13 pixels). Every dialog places its controls through these helpers, so that one place
// decides how units become pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace quillon::dialog_units {

// Rounded to the nearest pixel, halves away from zero (as a multiply-then-divide with rounding).
constexpr int ToPixelsX(int units) {
  const int scaled = units * 6;
  return (scaled >= 0 ? scaled + 2 : scaled - 2) / 4;
}

constexpr int ToPixelsY(int units) {
  const int scaled = units * 13;
  return (scaled >= 0 ? scaled + 4 : scaled - 4) / 8;
}

// The edges are converted, not the extent, so that controls which meet in units meet in pixels.
constexpr QRect Rect(int x, int y, int width, int height) {
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

constexpr QSize Size(int width, int height) {
  return QSize(ToPixelsX(width), ToPixelsY(height));
}

// The font the units are measured in: 8 pt of the default sans-serif face.
inline QFont Font() {
  QFont font(QStringLiteral("Sans Serif"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace quillon::dialog_units
