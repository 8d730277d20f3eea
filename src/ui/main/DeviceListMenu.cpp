#include "ui/main/DeviceListMenu.h"

#include "ui/main/StringTable.h"

namespace quillon {

namespace {

QAction* AddCommand(QMenu& menu, const char* text, CommandId command) {
  QAction* action = menu.addAction(QString::fromLatin1(text));
  action->setData(static_cast<int>(command));
  return action;
}

}  // namespace

void FillDeviceListMenu(QMenu& menu, int selected_rows) {
  menu.setObjectName(QStringLiteral("deviceListMenu"));
  QAction* launch = AddCommand(menu, strings::kMenuLaunch, CommandId::kLaunch);
  QAction* settings = AddCommand(menu, strings::kMenuSettings, CommandId::kSettings);
  QAction* upgrade = AddCommand(menu, strings::kMenuUpgrade, CommandId::kUpgrade);
  menu.addSeparator();
  AddCommand(menu, strings::kMenuRefresh, CommandId::kRefresh);
  menu.addSeparator();
  AddCommand(menu, strings::kMenuAbout, CommandId::kAbout);

  launch->setEnabled(selected_rows > 0);
  upgrade->setEnabled(selected_rows > 0);
  settings->setEnabled(selected_rows == 1);
}

std::optional<CommandId> CommandOf(const QAction* action) {
  if (!action || !action->data().isValid()) return std::nullopt;
  return static_cast<CommandId>(action->data().toInt());
}

}  // namespace quillon
