#include "ui/main/Commands.h"

#include "ui/main/KestrelDlg.h"

namespace quillon {

void ConnectCommands(KestrelDlg& window, const CommandServices& services) {
  KestrelDlg* w = &window;
  QObject::connect(w, &KestrelDlg::LaunchRequested, w, [w, services](const QList<int>& devices) {
    RunLaunchCommand(*w, devices, services);
  });
  QObject::connect(w, &KestrelDlg::SettingsRequested, w,
                   [w, services](int device) { RunSettingsCommand(*w, device, services); });
  QObject::connect(w, &KestrelDlg::UpgradeRequested, w, [w, services](const QList<int>& devices) {
    RunUpgradeCommand(*w, devices, services);
  });
  QObject::connect(w, &KestrelDlg::AboutRequested, w,
                   [w, services] { RunAboutCommand(*w, services); });
  QObject::connect(w, &KestrelDlg::IpSettingsRequested, w,
                   [w, services](int device) { RunIpSettingsCommand(*w, device, services); });
  QObject::connect(w, &KestrelDlg::SetPasswordRequested, w,
                   [w, services](int device) { RunSetPasswordCommand(*w, device, services); });
  QObject::connect(w, &KestrelDlg::SerialNumberRequested, w,
                   [w, services](int device) { RunSerialNumberCommand(*w, device, services); });
}

}  // namespace quillon
