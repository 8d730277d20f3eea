// The main window: the device list, the information and selection count boxes, and the five
// command buttons on a full-window picture. It runs the search on its search thread, keeps what
// the last search found, turns the list's selection into devices, and closes only once a running
// search has ended (or after the closing wait).
#pragma once

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <map>
#include <string>

#include "base/MacAddress.h"
#include "flows/Session.h"
#include "ui/main/CommandId.h"
#include "ui/main/DeviceTables.h"
#include "ui/main/SearchThread.h"

class QPushButton;
class QTimer;

namespace quillon {

class ClosingBox;
class EditCl;
class HoverButtonCl;
class ListCtrlCl;

class KestrelDlg : public QDialog {
  Q_OBJECT

 public:
  // Lists the session's adapters and starts the first search after the startup delay.
  explicit KestrelDlg(Session& session, QWidget* parent = nullptr);
  ~KestrelDlg() override;

  // Everything the buttons, the menu and the keys do.
  void RunCommand(CommandId command);
  // The Refresh command: starts a search unless one is running.
  void Refresh();
  // For commands on a device: at their start, and with the after-command delay at their end.
  void StopRefreshTimer();
  void RestartRefreshTimer(Millis delay);
  // Where a command leaves the keyboard focus when it ends.
  void FocusList();

  bool SearchBusy() const { return search_busy_; }
  // The device of the first (or n-th, from 0, in list order) selected row; -1 when the selection
  // does not reach that far. Keeps that device's MAC as SelectedMac().
  int SelectedDevice() { return SelectedDeviceAt(0); }
  int SelectedDeviceAt(int n);
  const MacAddress& SelectedMac() const { return selected_mac_; }
  const DeviceTables& Tables() const { return tables_; }
  DeviceSearch& Search() { return search_.Search(); }
  Session& session() { return session_; }

  // Repaints the picture under the two boxes.
  void RepaintInfoAreas();

 signals:
  // The commands that act on the selected devices, once allowed; `devices` are table indexes in
  // list order.
  void LaunchRequested(const QList<int>& devices);
  void SettingsRequested(int device);
  void UpgradeRequested(const QList<int>& devices);
  void AboutRequested();
  // The hidden buttons' commands on the one selected device.
  void IpSettingsRequested(int device);
  void SetPasswordRequested(int device);
  void SerialNumberRequested(int device);
  // A search has filled the list.
  void SearchFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void BuildControls();
  void BuildHiddenButtons();
  void LayOutList();
  void ConnectSignals();
  void SetCommandButtonsEnabled(bool enabled);

  void OnSearchFinished(SearchResult result);
  void FillList(const std::vector<RowText>& rows);
  int RowToReselect() const;

  void OnListClicked(int row);
  void OnRowChanged(int row);
  void OnListRightClicked(const QPoint& pos);
  void OnListDoubleClicked();
  void ShowSelectionInfo(int selected_rows);
  QString InfoTextOf(int device) const;
  QList<int> SelectedDevices();

  void LaunchCommand();
  void SettingsCommand();
  void UpgradeCommand();
  void AboutCommand();
  void HiddenCardCommand(CommandId command);
  void EndAsWithOk();
  // The hidden buttons' enable rules, after every change of the selection and every search.
  void UpdateHiddenButtons();

  void BeginClosing();
  void FinishClosing();

  Session& session_;
  SearchThread search_;
  DeviceTables tables_;

  ListCtrlCl* list_ = nullptr;
  EditCl* info_box_ = nullptr;
  EditCl* count_box_ = nullptr;
  std::map<CommandId, HoverButtonCl*> buttons_;
  std::map<CommandId, QPushButton*> hidden_buttons_;
  QTimer* startup_timer_ = nullptr;
  QTimer* refresh_timer_ = nullptr;
  QTimer* closing_timer_ = nullptr;
  QPointer<ClosingBox> closing_box_;
  QPixmap background_;

  bool search_busy_ = false;  // SearchBusy
  bool closing_ = false;
  bool close_finished_ = false;
  MacAddress selected_mac_{};   // SelectedMac
  std::string remembered_key_;  // RememberedKey
  int current_row_ = 0;         // CurrentRow
};

}  // namespace quillon
