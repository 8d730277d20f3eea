#include "ui/upgrade/UpgradeDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <system_error>

#include "flows/UpgradeRun.h"
#include "flows/UpgradeTexts.h"
#include "ui/controls/DialogUnits.h"

namespace quillon {

namespace {

// The window ends at the top of the etched line; what lies below it is never seen.
constexpr int kCutAt = 211;

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect place) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(place);
  return widget;
}

QLabel* AddLabel(QWidget* parent, const char* text, QRect place, QWidget* buddy = nullptr) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setGeometry(place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (buddy) label->setBuddy(buddy);
  return label;
}

}  // namespace

bool ImageFileReadable(const QString& path) {
  if (path.isEmpty() || QFileInfo(path).isDir()) return false;
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && file.size() > 0;
}

// The run's view: every call is taken over to the window's thread, queued, so that the run's
// threads never wait for the window. The dialog outlives every run (it waits for the last one),
// so the calls always find it.
class UpgradeDlg::View : public UpgradeView {
 public:
  explicit View(UpgradeDlg& dialog) : dialog_(dialog) {}

  // The dialog is busy from the press of Download until the run's thread has ended, a span that
  // holds the run's own.
  void SetBusy(bool) override {}
  void SetRowText(const std::string& key, const std::string& text) override {
    Post([this, k = QString::fromStdString(key), t = QString::fromStdString(text)] {
      dialog_.SetRowText(k, t);
    });
  }
  void SetStatusLine(const std::string& text) override {
    Post([this, t = QString::fromStdString(text)] { dialog_.status_line_->setText(t); });
  }
  void SetProgress(int percent) override {
    Post([this, percent] { dialog_.progress_->setValue(percent); });
  }
  void ShowResults(const std::vector<std::pair<std::string, bool>>& results) override {
    Post([this, results] { dialog_.ShowResults(results); });
  }

 private:
  template <typename Call>
  void Post(Call call) {
    QMetaObject::invokeMethod(&dialog_, std::move(call), Qt::QueuedConnection);
  }

  UpgradeDlg& dialog_;
};

UpgradeDlg::UpgradeDlg(Session& session, Prompter& prompter, std::vector<DeviceRecord> cards,
                       QWidget* parent)
    : QDialog(parent),
      session_(session),
      prompter_(prompter),
      cards_(std::move(cards)),
      view_(std::make_unique<View>(*this)) {
  setObjectName(QStringLiteral("upgradeDlg"));
  setWindowTitle(QStringLiteral("Firmware Upgrade"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(dialog_units::Font());
  setFixedSize(dialog_units::Size(248, kCutAt));

  BuildUpperPanel();
  BuildLowerPanel();
  AddRowsForCards();

  // From here on the cards' notices come to this dialog.
  run_ = std::make_unique<UpgradeRun>(session_, prompter_, *view_);

  idle_update_ = new QTimer(this);
  idle_update_->setObjectName(QStringLiteral("idleUpdateTimer"));
  connect(idle_update_, &QTimer::timeout, this, &UpgradeDlg::UpdateControls);
  idle_update_->start(kIdleUpdateMs);
  UpdateControls();
}

UpgradeDlg::~UpgradeDlg() {
  // The run may still ask its questions through the window's thread: keep it turning until the
  // run has ended.
  while (busy_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (run_thread_.joinable()) run_thread_.join();
}

void UpgradeDlg::BuildUpperPanel() {
  using dialog_units::Rect;
  Place(new QGroupBox(this), "upperPanel", Rect(4, 3, 240, 185));

  file_name_ = Place(new QLineEdit(this), "fileNameEdit", Rect(51, 15, 155, 13));
  AddLabel(this, "&File name:", Rect(9, 17, 44, 8), file_name_);
  connect(file_name_, &QLineEdit::textChanged, this, &UpgradeDlg::UpdateControls);

  browse_ =
      Place(new QPushButton(QStringLiteral("..."), this), "browseButton", Rect(207, 15, 16, 13));
  connect(browse_, &QPushButton::clicked, this, &UpgradeDlg::Browse);

  Place(new QLabel(this), "spareLabel", Rect(46, 34, 100, 8));

  progress_ = Place(new QProgressBar(this), "progressBar", Rect(51, 45, 155, 11));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);

  status_line_ = Place(new QLabel(this), "statusLine", Rect(51, 60, 155, 11));
  status_line_->setFrameStyle(QFrame::Box | QFrame::Plain);
  status_line_->setLineWidth(1);
  status_line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  list_ = Place(new QTreeWidget(this), "statusList", Rect(51, 76, 155, 102));
  list_->setColumnCount(2);
  list_->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Download Status")});
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->header()->setStretchLastSection(false);
  list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const int client_width = list_->contentsRect().width();
  list_->setColumnWidth(0, client_width / 3);
  list_->setColumnWidth(1, client_width * 2 / 3);

  download_ = Place(new QPushButton(QStringLiteral("&Download"), this), "downloadButton",
                    Rect(132, 191, 50, 14));
  connect(download_, &QPushButton::clicked, this, &UpgradeDlg::Download);
  cancel_ = Place(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton",
                  Rect(184, 191, 50, 14));
  connect(cancel_, &QPushButton::clicked, this, &UpgradeDlg::reject);
}

// Built as the template has it, then hidden with everything below the line.
void UpgradeDlg::BuildLowerPanel() {
  using dialog_units::Rect;
  auto* line = Place(new QFrame(this), "etchedLine", Rect(4, kCutAt, 240, 1));
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);

  auto_check_ = Place(new QCheckBox(QStringLiteral("&Auto Check"), this), "autoCheckBox",
                      Rect(9, 222, 52, 10));
  offset_ = Place(new QLineEdit(QStringLiteral("0x0"), this), "offsetEdit", Rect(183, 221, 50, 12));
  flash_ = Place(new QComboBox(this), "flashList", Rect(34, 236, 86, 56));
  flash_->addItems({QStringLiteral("0 None"), QStringLiteral("0xA4 MX29F040"),
                    QStringLiteral("0x2258 MX29F800B")});
  start_address_ = Place(new QLineEdit(QStringLiteral("0x80000"), this), "startAddressEdit",
                         Rect(183, 236, 50, 12));
  QWidget* lower[] = {
      line,
      auto_check_,
      AddLabel(this, "&Offset:", Rect(124, 223, 29, 8), offset_),
      offset_,
      AddLabel(this, "&Flash:", Rect(9, 238, 24, 8), flash_),
      flash_,
      AddLabel(this, "Start A&ddress:", Rect(124, 238, 56, 8), start_address_),
      start_address_,
      Place(new QGroupBox(this), "lowerPanel", Rect(4, 252, 240, 41)),
  };
  for (QWidget* widget : lower) widget->hide();

  // As the template starts them; the rules below run only when the person changes something.
  auto_check_->setChecked(true);
  offset_->setEnabled(false);
  flash_->setCurrentIndex(0);
  start_address_->setEnabled(false);
  connect(auto_check_, &QCheckBox::clicked, this,
          [this] { offset_->setEnabled(!auto_check_->isChecked()); });
  connect(flash_, &QComboBox::currentIndexChanged, this,
          [this](int index) { start_address_->setEnabled(index != 0); });
}

void UpgradeDlg::AddRowsForCards() {
  for (const DeviceRecord& card : cards_) {
    list_->addTopLevelItem(
        new QTreeWidgetItem(QStringList{QString::fromStdString(DeviceKey(card.mac)), QString()}));
  }
}

void UpgradeDlg::SetPasswordAccepted(
    std::function<void(const MacAddress&, const std::string&)> accepted) {
  run_->password_accepted = std::move(accepted);
}

void UpgradeDlg::Browse() {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("imageFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A name may be typed that does not exist yet: the Download rule judges it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("bin"));
  // "All Files (*.*)" means every file: its pattern is "*", which the name does not show.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters({QStringLiteral("*.bin"), QStringLiteral("All Files (*.*) (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  file_name_->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void UpgradeDlg::Download() {
  if (busy_ || !ImageFileReadable(file_name_->text())) return;
  if (run_thread_.joinable()) run_thread_.join();  // the last run has ended: it said so
  SetBusy(true);
  const std::string path = file_name_->text().toStdString();
  try {
    run_thread_ = std::thread([this, path] {
      run_->Run(path, cards_);
      QMetaObject::invokeMethod(this, &UpgradeDlg::RunEnded, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    SetBusy(false);
    prompter_.ShowMessage("No thread could be started for the upgrade.");
  }
}

void UpgradeDlg::RunEnded() {
  if (run_thread_.joinable()) run_thread_.join();
  SetBusy(false);
}

void UpgradeDlg::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  ShowWaitCursor(busy);
  UpdateControls();
}

// Over the whole dialog, also over the controls that have a cursor of their own.
void UpgradeDlg::ShowWaitCursor(bool wait) {
  if (!wait) {
    unsetCursor();
    for (auto& [widget, cursor] : saved_cursors_) {
      if (widget) widget->setCursor(cursor);
    }
    saved_cursors_.clear();
    return;
  }
  setCursor(Qt::WaitCursor);
  for (QWidget* widget : findChildren<QWidget*>()) {
    if (!widget->testAttribute(Qt::WA_SetCursor)) continue;
    saved_cursors_.emplace_back(widget, widget->cursor());
    widget->setCursor(Qt::WaitCursor);
  }
}

void UpgradeDlg::UpdateControls() {
  download_->setEnabled(!busy_ && ImageFileReadable(file_name_->text()));
  cancel_->setEnabled(!busy_);
}

void UpgradeDlg::SetRowText(const QString& key, const QString& text) {
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item->text(0).compare(key, Qt::CaseInsensitive) == 0) {
      item->setText(1, text);
      return;
    }
  }
  list_->addTopLevelItem(new QTreeWidgetItem(QStringList{key, text}));
}

void UpgradeDlg::ShowResults(const std::vector<std::pair<std::string, bool>>& results) {
  list_->clear();
  for (const auto& [key, success] : results) {
    list_->addTopLevelItem(new QTreeWidgetItem(QStringList{
        QString::fromStdString(key),
        QString::fromLatin1(success ? upgrade_text::kSucceeded : upgrade_text::kFailed)}));
  }
}

// ---- Closing: never while a run is busy, by any means.

void UpgradeDlg::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

// Enter on a button presses it (the button takes the key itself); anywhere else it ends the
// dialog as OK would, for there is no default button. Escape cancels.
void UpgradeDlg::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) {
    QDialog::keyPressEvent(event);
    return;
  }
  event->accept();
  if (busy_) return;
  if (key == Qt::Key_Escape) {
    reject();
  } else {
    accept();
  }
}

void UpgradeDlg::reject() {
  if (!busy_) QDialog::reject();
}

// The rules are evaluated again whenever the dialog becomes active (after the file manager was
// used, for instance), besides every kIdleUpdateMs.
void UpgradeDlg::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) UpdateControls();
  QDialog::changeEvent(event);
}

}  // namespace quillon
