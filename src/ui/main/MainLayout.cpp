#include "ui/main/MainLayout.h"

namespace quillon::main_layout {

QRect ButtonRect(int position) {
  constexpr int kLeft = 32;
  constexpr int kFirstTop = 25;
  constexpr int kPitch = 90;
  return QRect(QPoint(kLeft, kFirstTop + kPitch * position), kButtonSize);
}

QRect ListRect(int header_height, int row_height) {
  if (row_height <= 0) return kListArea;
  const int trim = (kListArea.height() - header_height) % row_height - 2;
  return QRect(kListArea.left(), kListArea.top() + trim, kListArea.width(),
               kListArea.height() - trim);
}

ColumnWidths Columns(int mac_text_width, int scroll_bar_width, bool high_dpi) {
  constexpr int kSerialWidth = 92;
  constexpr int kColumnsWidth = 319;  // the list's width less the serial column and a border
  ColumnWidths widths;
  widths.serial = kSerialWidth;
  widths.mac = mac_text_width + (high_dpi ? 12 : 25);
  widths.ipv4 = kColumnsWidth - scroll_bar_width - widths.mac;
  return widths;
}

}  // namespace quillon::main_layout
