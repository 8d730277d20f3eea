// The main window's commands. Buttons, the device list's menu and the keys all end in one
// dispatcher, keyed by these numbers.
#pragma once

namespace quillon {

enum class CommandId : int {
  kAbout = 10,
  kUpgrade = 1003,
  kRefresh = 1036,
  kLaunch = 1037,
  kSettings = 1092,
};

}  // namespace quillon
