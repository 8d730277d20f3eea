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
  // The hidden buttons: created with the window and never shown; their commands still run when
  // they arrive here.
  kMac = 1004,  // does nothing
  kIpSettings = 1005,
  kSetPassword = 1006,
  kRun = 1007,  // does nothing
  kSerialNumber = 1008,
  kMinimise = 1089,
  kEnd = 1090,
};

}  // namespace quillon
