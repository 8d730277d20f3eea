// The commands the main window runs on its cards, each in a file of its own beside the window it
// opens. The window decides whether a command may start (no search, the right selection) and
// emits its request; ConnectCommands ties the requests to these functions. Tests tie them with a
// scripted prompter and a recording opener.
#pragma once

#include <QList>
#include <memory>

#include "flows/Prompter.h"
#include "flows/UrlOpener.h"

namespace quillon {

class KestrelDlg;

struct CommandServices {
  Prompter& prompter;                 // every question of every command
  std::shared_ptr<UrlOpener> opener;  // web pages
};

void ConnectCommands(KestrelDlg& window, const CommandServices& services);

// `devices` are device-table indexes in list order.
void RunLaunchCommand(KestrelDlg& window, const QList<int>& devices,
                      const CommandServices& services);
void RunSettingsCommand(KestrelDlg& window, int device, const CommandServices& services);
void RunUpgradeCommand(KestrelDlg& window, const QList<int>& devices,
                       const CommandServices& services);
void RunAboutCommand(KestrelDlg& window, const CommandServices& services);
void RunIpSettingsCommand(KestrelDlg& window, int device, const CommandServices& services);
void RunSetPasswordCommand(KestrelDlg& window, int device, const CommandServices& services);
void RunSerialNumberCommand(KestrelDlg& window, int device, const CommandServices& services);

}  // namespace quillon
