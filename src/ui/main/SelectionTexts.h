// What the selection count box and the information box show after the list's rows change.
#pragma once

#include <QString>

namespace quillon {

struct RowChangeTexts {
  enum class InfoBox { kUnchanged, kEmpty, kDeviceInfo };

  QString count_box;
  InfoBox info_box = InfoBox::kUnchanged;
};

// `device_count` is the number of devices the last finished search found.
RowChangeTexts TextsAfterRowChange(int selected_rows, bool search_running, int device_count);

// The count box after a click, or when a search has selected its row again.
QString SelectionCountText(int selected_rows, int device_count);

}  // namespace quillon
