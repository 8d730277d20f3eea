// The device list's right-click menu.
#pragma once

#include <QMenu>
#include <optional>

#include "ui/main/CommandId.h"

namespace quillon {

// Launch, Settings, Upgrade, Refresh and About, grayed as the number of selected rows demands.
void FillDeviceListMenu(QMenu& menu, int selected_rows);

// The command of an action of that menu.
std::optional<CommandId> CommandOf(const QAction* action);

}  // namespace quillon
