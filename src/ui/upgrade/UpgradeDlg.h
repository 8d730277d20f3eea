// The "Firmware Upgrade" dialog: an image file, one line per card it was opened for, a progress
// bar and a status line. Download starts a run of the image into every card on a thread of its
// own and returns at once; the lines, the bar and the status line follow the run, and its results
// and summary stay until the dialog is closed. While a run is busy the dialog cannot be closed.
//
// The panel below the etched line (offset, flash type, start address) is built with its rules but
// never shown: the window ends at the line, and nothing of it travels to the cards.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "flows/Prompter.h"
#include "flows/Session.h"
#include "protocol/DeviceRecord.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace quillon {

class UpgradeRun;

class UpgradeDlg : public QDialog {
  Q_OBJECT

 public:
  // How often the enabling rules are evaluated while nothing else asks for it (a file may appear
  // or vanish while the dialog is open).
  static constexpr int kIdleUpdateMs = 500;

  // `cards` in the order of the main window's selection. The run's questions go to `prompter`.
  UpgradeDlg(Session& session, Prompter& prompter, std::vector<DeviceRecord> cards,
             QWidget* parent = nullptr);
  // Waits for a run that is still busy (which only a program that is ending can leave behind).
  ~UpgradeDlg() override;
  UpgradeDlg(const UpgradeDlg&) = delete;
  UpgradeDlg& operator=(const UpgradeDlg&) = delete;

  // Receives each password a card accepted, on the run's threads.
  void SetPasswordAccepted(std::function<void(const MacAddress&, const std::string&)> accepted);

  // From the press of Download until the run's thread has ended.
  bool Busy() const { return busy_; }
  // The cards with the passwords the runs learnt; while no run is busy.
  const std::vector<DeviceRecord>& Cards() const { return cards_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override;

 private:
  class View;

  void BuildUpperPanel();
  void BuildLowerPanel();
  void AddRowsForCards();

  void Browse();
  void Download();
  void RunEnded();
  void UpdateControls();
  void SetBusy(bool busy);
  void ShowWaitCursor(bool wait);

  // The run's calls, on the window's thread.
  void SetRowText(const QString& key, const QString& text);
  void ShowResults(const std::vector<std::pair<std::string, bool>>& results);

  Session& session_;
  Prompter& prompter_;
  std::vector<DeviceRecord> cards_;  // the run's while it is busy
  std::unique_ptr<View> view_;
  std::unique_ptr<UpgradeRun> run_;
  std::thread run_thread_;
  bool busy_ = false;
  std::vector<std::pair<QPointer<QWidget>, QCursor>> saved_cursors_;

  QLineEdit* file_name_ = nullptr;
  QPushButton* browse_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_line_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* download_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QCheckBox* auto_check_ = nullptr;
  QLineEdit* offset_ = nullptr;
  QComboBox* flash_ = nullptr;
  QLineEdit* start_address_ = nullptr;
  QTimer* idle_update_ = nullptr;
};

// The file half of Download's rule: the file can be opened for reading and is not empty.
bool ImageFileReadable(const QString& path);

}  // namespace quillon
