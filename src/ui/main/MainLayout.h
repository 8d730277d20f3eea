// Where the main window puts its controls, in client pixels. The window is a fixed 640 x 479
// picture with the command buttons down its left side and the list and boxes on the right.
#pragma once

#include <QRect>
#include <QSize>

#include "ui/main/CommandId.h"

namespace quillon::main_layout {

inline constexpr QSize kClientSize{640, 479};
inline constexpr QSize kBackgroundPictureSize{640, 480};
inline constexpr QSize kButtonSize{126, 67};
inline constexpr QRect kInfoBox{206, 360, 320, 89};
inline constexpr QRect kCountBox{516, 361, 95, 50};
inline constexpr QRect kListArea{204, 169, 412, 186};
// The list's corners are rounded with 20 x 20 ellipses; its region reaches this far below it, so
// that only the top corners look rounded.
inline constexpr int kListRegionOverhang = 28;
inline constexpr int kListCornerDiameter = 20;

// Top to bottom: Launch, Settings, Upgrade, About, Refresh.
inline constexpr CommandId kButtonOrder[] = {CommandId::kLaunch, CommandId::kSettings,
                                             CommandId::kUpgrade, CommandId::kAbout,
                                             CommandId::kRefresh};

QRect ButtonRect(int position);

// The list area trimmed from the top so that only whole rows show under the header.
QRect ListRect(int header_height, int row_height);

struct ColumnWidths {
  int serial = 0;
  int mac = 0;
  int ipv4 = 0;
};
// `mac_text_width`: the width of "G8-G8-G8-G8-G8-G8" in the list's font. `high_dpi`: the screen's
// logical DPI is above 96.
ColumnWidths Columns(int mac_text_width, int scroll_bar_width, bool high_dpi);

}  // namespace quillon::main_layout
