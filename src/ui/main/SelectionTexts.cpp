#include "ui/main/SelectionTexts.h"

#include "ui/main/StringTable.h"

namespace quillon {

RowChangeTexts TextsAfterRowChange(int selected_rows, bool search_running, int device_count) {
  using InfoBox = RowChangeTexts::InfoBox;
  if (search_running) {
    // The device table is being rebuilt: count only, and leave the information alone.
    const char* form = selected_rows >= 2 ? strings::kSelectItems : strings::kSelectItem;
    return {QString::asprintf(form, selected_rows), InfoBox::kUnchanged};
  }
  if (selected_rows == 0) {
    return {QString::asprintf(strings::kSelectNoneOf, device_count), InfoBox::kEmpty};
  }
  return {SelectionCountText(selected_rows, device_count),
          selected_rows == 1 ? InfoBox::kDeviceInfo : InfoBox::kEmpty};
}

QString SelectionCountText(int selected_rows, int device_count) {
  return QString::asprintf(strings::kSelectOf, selected_rows, device_count);
}

}  // namespace quillon
