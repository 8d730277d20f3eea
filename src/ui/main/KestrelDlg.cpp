#include "ui/main/KestrelDlg.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "flows/DeviceInfo.h"
#include "flows/StandaloneFlows.h"
#include "ui/controls/EditCl.h"
#include "ui/controls/HoverButtonCl.h"
#include "ui/controls/ListCtrlCl.h"
#include "ui/controls/Pictures.h"
#include "ui/main/ClosingBox.h"
#include "ui/main/CommandButtonSkins.h"
#include "ui/main/DeviceListMenu.h"
#include "ui/main/MainLayout.h"
#include "ui/main/SelectionTexts.h"
#include "ui/main/StringTable.h"

namespace quillon {

namespace {

QString ButtonName(CommandId command) {
  switch (command) {
    case CommandId::kLaunch:
      return QStringLiteral("launchButton");
    case CommandId::kSettings:
      return QStringLiteral("settingsButton");
    case CommandId::kUpgrade:
      return QStringLiteral("upgradeButton");
    case CommandId::kAbout:
      return QStringLiteral("aboutButton");
    default:
      break;
  }
  return QStringLiteral("refreshButton");
}

// Rounded top corners: the rounded rectangle reaches below the list, so its bottom corners are
// cut off.
QRegion RoundedTopRegion(QSize size) {
  QPainterPath path;
  const qreal radius = main_layout::kListCornerDiameter / 2.0;
  path.addRoundedRect(QRectF(0, 0, size.width(), size.height() + main_layout::kListRegionOverhang),
                      radius, radius);
  return QRegion(path.toFillPolygon().toPolygon());
}

QTimer* MakeTimer(QObject* parent, const char* name, bool single_shot) {
  auto* timer = new QTimer(parent);
  timer->setObjectName(QString::fromLatin1(name));
  timer->setSingleShot(single_shot);
  return timer;
}

}  // namespace

KestrelDlg::KestrelDlg(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), search_(session) {
  setObjectName(QStringLiteral("kestrelDlg"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromLatin1(strings::kTitle));
  setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
  setFixedSize(main_layout::kClientSize);
  background_ =
      RenderSvg(QStringLiteral(":/pictures/background.svg"), main_layout::kBackgroundPictureSize);

  BuildControls();
  ConnectSignals();

  session_.EnumerateAdapters();
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  // The adapters are opened by the first search, not here.
  startup_timer_->start(session_.timing().startup_delay);
}

KestrelDlg::~KestrelDlg() = default;

void KestrelDlg::BuildControls() {
  list_ = new ListCtrlCl(this);
  list_->setObjectName(QStringLiteral("deviceList"));
  LayOutList();

  info_box_ = new EditCl(this);
  info_box_->setObjectName(QStringLiteral("deviceInfoBox"));
  info_box_->setGeometry(main_layout::kInfoBox);
  count_box_ = new EditCl(this);
  count_box_->setObjectName(QStringLiteral("selectionCountBox"));
  count_box_->setGeometry(main_layout::kCountBox);
  count_box_->SetRightAligned(true);

  int position = 0;
  for (const CommandId command : main_layout::kButtonOrder) {
    auto* button = new HoverButtonCl(this);
    button->setObjectName(ButtonName(command));
    button->SetSkin(CommandButtonSkin(command));
    button->setGeometry(main_layout::ButtonRect(position++));
    button->setFocusPolicy(Qt::TabFocus);
    buttons_[command] = button;
  }

  BuildHiddenButtons();

  startup_timer_ = MakeTimer(this, "startupTimer", true);
  refresh_timer_ = MakeTimer(this, "refreshTimer", false);
  closing_timer_ = MakeTimer(this, "closingTimer", true);
}

// A row of small buttons that the window never shows; their commands run when they arrive at
// RunCommand. 1089 and 1090 are picture buttons that never got a picture.
void KestrelDlg::BuildHiddenButtons() {
  struct Hidden {
    CommandId command;
    const char* text;
    const char* name;
  };
  const Hidden hidden[] = {
      {CommandId::kIpSettings, "&IP Settings...", "ipSettingsButton"},
      {CommandId::kSetPassword, "Set &Password...", "setPasswordButton"},
      {CommandId::kSerialNumber, "Serial &Number...", "serialNumberButton"},
      {CommandId::kMac, "MAC", "macButton"},
      {CommandId::kRun, "RUN", "runButton"},
      {CommandId::kMinimise, "", "minimiseButton"},
      {CommandId::kEnd, "", "endButton"},
  };
  for (const Hidden& h : hidden) {
    auto* button = new QPushButton(QString::fromLatin1(h.text), this);
    button->setObjectName(QString::fromLatin1(h.name));
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, id = h.command] { RunCommand(id); });
    hidden_buttons_[h.command] = button;
  }
  UpdateHiddenButtons();
}

void KestrelDlg::UpdateHiddenButtons() {
  const bool one = list_->SelectedRows().size() == 1;
  for (const CommandId command :
       {CommandId::kMac, CommandId::kIpSettings, CommandId::kSetPassword}) {
    hidden_buttons_.at(command)->setEnabled(one);
  }
  const int device = SelectedDevice();
  hidden_buttons_.at(CommandId::kSerialNumber)
      ->setEnabled(device >= 0 && SerialNumberCommandOffered(tables_.Key(device).mac));
}

// Columns first, then the list is trimmed so that only whole rows show under its taller header.
void KestrelDlg::LayOutList() {
  const bool high_dpi = screen() && screen()->logicalDotsPerInch() > 96;
  const int mac_text_width =
      list_->fontMetrics().horizontalAdvance(QStringLiteral("G8-G8-G8-G8-G8-G8"));
  const main_layout::ColumnWidths widths = main_layout::Columns(
      mac_text_width, list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent), high_dpi);
  list_->SetHeaderHeightScale(1.5);
  using Alignment = HeaderCtrlCl::Alignment;
  list_->InsertColumn(QString::fromLatin1(strings::kSerialColumn), Alignment::kLeft, widths.serial);
  list_->InsertColumn(QString::fromLatin1(strings::kMacColumn), Alignment::kLeft, widths.mac);
  list_->InsertColumn(QString::fromLatin1(strings::kIpv4Column), Alignment::kLeft, widths.ipv4);

  const QRect rect = main_layout::ListRect(list_->Header().sizeHint().height(), list_->RowHeight());
  list_->setGeometry(rect);
  list_->setMask(RoundedTopRegion(rect.size()));
}

void KestrelDlg::ConnectSignals() {
  for (const auto& [command, button] : buttons_) {
    connect(button, &QAbstractButton::clicked, this, [this, id = command] { RunCommand(id); });
  }
  connect(list_, &ListCtrlCl::Clicked, this, &KestrelDlg::OnListClicked);
  connect(list_, &ListCtrlCl::RowChanged, this, &KestrelDlg::OnRowChanged);
  connect(list_, &ListCtrlCl::DoubleClicked, this, &KestrelDlg::OnListDoubleClicked);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &KestrelDlg::OnListRightClicked);

  auto accelerator = [this](const QKeySequence& key, CommandId command) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, [this, command] { RunCommand(command); });
  };
  accelerator(QKeySequence(Qt::Key_F5), CommandId::kRefresh);
  accelerator(QKeySequence(Qt::Key_Return), CommandId::kSettings);
  accelerator(QKeySequence(Qt::Key_Enter), CommandId::kSettings);

  connect(startup_timer_, &QTimer::timeout, this, &KestrelDlg::Refresh);
  connect(refresh_timer_, &QTimer::timeout, this, &KestrelDlg::Refresh);
  connect(closing_timer_, &QTimer::timeout, this, &KestrelDlg::FinishClosing);
}

void KestrelDlg::SetCommandButtonsEnabled(bool enabled) {
  for (const CommandId command :
       {CommandId::kLaunch, CommandId::kSettings, CommandId::kUpgrade, CommandId::kRefresh}) {
    buttons_.at(command)->setEnabled(enabled);
  }
}

// ---- Commands

void KestrelDlg::RunCommand(CommandId command) {
  switch (command) {
    case CommandId::kLaunch:
      return LaunchCommand();
    case CommandId::kSettings:
      return SettingsCommand();
    case CommandId::kUpgrade:
      return UpgradeCommand();
    case CommandId::kAbout:
      return AboutCommand();
    case CommandId::kRefresh:
      return Refresh();
    case CommandId::kIpSettings:
    case CommandId::kSetPassword:
    case CommandId::kSerialNumber:
      return HiddenCardCommand(command);
    case CommandId::kMinimise:
      return showMinimized();
    case CommandId::kEnd:
      return EndAsWithOk();
    case CommandId::kMac:
    case CommandId::kRun:
      return;
  }
}

void KestrelDlg::LaunchCommand() {
  if (search_busy_) return;
  const QList<int> devices = SelectedDevices();
  if (!devices.isEmpty()) emit LaunchRequested(devices);
}

void KestrelDlg::SettingsCommand() {
  if (search_busy_ || list_->SelectedRows().size() != 1) return;
  const int device = SelectedDevice();
  if (device >= 0) emit SettingsRequested(device);
}

void KestrelDlg::UpgradeCommand() {
  if (search_busy_) return;
  const QList<int> devices = SelectedDevices();
  if (!devices.isEmpty()) emit UpgradeRequested(devices);
}

void KestrelDlg::AboutCommand() {
  emit AboutRequested();
  list_->setFocus();
}

// Runs only where its hidden button would be enabled.
void KestrelDlg::HiddenCardCommand(CommandId command) {
  UpdateHiddenButtons();
  if (!hidden_buttons_.at(command)->isEnabled()) return;
  const int device = SelectedDevice();
  if (device < 0) return;
  if (command == CommandId::kIpSettings) emit IpSettingsRequested(device);
  if (command == CommandId::kSetPassword) emit SetPasswordRequested(device);
  if (command == CommandId::kSerialNumber) emit SerialNumberRequested(device);
}

// The window ends at once, as with OK: no closing box, nothing waited for here.
void KestrelDlg::EndAsWithOk() {
  refresh_timer_->stop();
  close_finished_ = true;
  accept();
}

void KestrelDlg::FocusList() {
  list_->setFocus();
}

void KestrelDlg::StopRefreshTimer() {
  refresh_timer_->stop();
}

void KestrelDlg::RestartRefreshTimer(Millis delay) {
  if (!closing_) refresh_timer_->start(delay);
}

// ---- Search

// The F5 key reaches here even while the Refresh button is disabled; one search at a time.
void KestrelDlg::Refresh() {
  if (search_busy_ || closing_) return;
  tables_.Clear();
  search_busy_ = true;
  UpdateHiddenButtons();
  info_box_->SetText(QString::fromLatin1(strings::kSearchingDevice));
  count_box_->SetText(QString());
  RepaintInfoAreas();
  list_->setFocus();
  SetCommandButtonsEnabled(false);
  refresh_timer_->stop();
  search_.Start([this](SearchResult result) {
    auto shared = std::make_shared<SearchResult>(std::move(result));
    QMetaObject::invokeMethod(
        this, [this, shared] { OnSearchFinished(std::move(*shared)); }, Qt::QueuedConnection);
  });
}

void KestrelDlg::OnSearchFinished(SearchResult result) {
  // While closing, the tables and the list stay as they are.
  if (closing_) return FinishClosing();
  if (result.cancelled) return;

  tables_.Load(std::move(result.devices));
  FillList(result.rows);
  const int reselect = RowToReselect();
  if (reselect >= 0) {
    list_->SelectAndFocusRow(reselect);
    current_row_ = reselect;
  }
  const int device = SelectedDevice();
  if (device < 0) {
    info_box_->SetText(QString::fromLatin1(strings::kNoDeviceFound));
  } else {
    info_box_->SetText(InfoTextOf(device));
    count_box_->SetText(QString::asprintf(strings::kSelectOneOf, tables_.Count()));
  }
  SetCommandButtonsEnabled(true);
  refresh_timer_->start(session_.timing().refresh_interval);
  RepaintInfoAreas();
  list_->setFocus();
  search_busy_ = false;
  UpdateHiddenButtons();
  emit SearchFinished();
}

void KestrelDlg::FillList(const std::vector<RowText>& rows) {
  {
    // Rows taken away are no change of a row: the selection box stays as the search left it
    // (empty), instead of counting the selection that went with them.
    const QSignalBlocker quiet(list_);
    list_->DeleteAllRows();
  }
  list_->setFocus();
  for (const RowText& row : rows) {
    const int index = list_->AddRow({QString::fromStdString(row.key)});
    list_->SetItemText(index, 1, QString::fromStdString(row.mac));
    list_->SetItemText(index, 2, QString::fromStdString(row.ipv4));
  }
}

// The row of the remembered serial number, wherever sorting has put it; else the first row.
int KestrelDlg::RowToReselect() const {
  if (list_->RowCount() == 0) return -1;
  for (int row = 0; row < list_->RowCount(); ++row) {
    if (list_->RowTexts(row).value(0).toStdString().starts_with(remembered_key_)) return row;
  }
  return 0;
}

// ---- Selection

int KestrelDlg::SelectedDeviceAt(int n) {
  const std::vector<int> rows = list_->SelectedRows();
  if (n < 0 || static_cast<std::size_t>(n) >= rows.size()) return -1;
  const QString key = list_->RowTexts(rows[static_cast<std::size_t>(n)]).value(0);
  const int device = tables_.IndexOfRowKey(key.toStdString());
  if (device >= 0) selected_mac_ = tables_.Key(device).mac;
  return device;
}

QList<int> KestrelDlg::SelectedDevices() {
  QList<int> devices;
  for (int n = 0;; ++n) {
    const int device = SelectedDeviceAt(n);
    if (device < 0) break;
    devices.append(device);
  }
  return devices;
}

QString KestrelDlg::InfoTextOf(int device) const {
  return QString::fromStdString(DeviceInfoText(tables_.Device(device)));
}

void KestrelDlg::RepaintInfoAreas() {
  update(info_box_->geometry());
  update(count_box_->geometry());
}

void KestrelDlg::OnListClicked(int row) {
  if (list_->RowCount() == 0) return;
  if (list_->SelectedRows().empty()) {
    // A click outside every row selects them all.
    if (row < 0) {
      list_->SelectAllRows();
    } else {
      list_->SelectAndFocusRow(row);
    }
  }
  if (row >= 0) {
    remembered_key_ = list_->RowTexts(row).value(0).left(DeviceTables::kKeyLength).toStdString();
  }
  if (search_busy_ || SelectedDevice() < 0) return;
  ShowSelectionInfo(static_cast<int>(list_->SelectedRows().size()));
}

void KestrelDlg::ShowSelectionInfo(int selected_rows) {
  count_box_->SetText(SelectionCountText(selected_rows, tables_.Count()));
  info_box_->SetText(selected_rows == 1 ? InfoTextOf(SelectedDevice()) : QString());
  RepaintInfoAreas();
}

void KestrelDlg::OnRowChanged(int row) {
  const int selected_rows = static_cast<int>(list_->SelectedRows().size());
  const RowChangeTexts texts = TextsAfterRowChange(selected_rows, search_busy_, tables_.Count());
  count_box_->SetText(texts.count_box);
  switch (texts.info_box) {
    case RowChangeTexts::InfoBox::kEmpty:
      info_box_->SetText(QString());
      break;
    case RowChangeTexts::InfoBox::kDeviceInfo: {
      const int device = SelectedDevice();
      info_box_->SetText(device >= 0 ? InfoTextOf(device) : QString());
      break;
    }
    case RowChangeTexts::InfoBox::kUnchanged:
      break;
  }
  if (selected_rows > 0) {
    remembered_key_ = list_->RowTexts(row).value(0).left(DeviceTables::kKeyLength).toStdString();
  }
  UpdateHiddenButtons();
  RepaintInfoAreas();
}

void KestrelDlg::OnListRightClicked(const QPoint& pos) {
  if (search_busy_) return;
  const std::vector<int> rows = list_->SelectedRows();
  QMenu menu(this);
  FillDeviceListMenu(menu, static_cast<int>(rows.size()));
  if (rows.empty()) list_->SelectRow(current_row_, true);
  if (rows.size() == 1) current_row_ = rows.front();
  const std::optional<CommandId> chosen = CommandOf(menu.exec(list_->viewport()->mapToGlobal(pos)));
  if (chosen) RunCommand(*chosen);
}

void KestrelDlg::OnListDoubleClicked() {
  if (!search_busy_) LaunchCommand();
  list_->setFocus();
}

// ---- Window

void KestrelDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), background_);
}

// The window can be dragged by any point of its picture.
void KestrelDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && windowHandle()) {
    windowHandle()->startSystemMove();
    return;
  }
  QDialog::mousePressEvent(event);
}

// Escape closes the window the same way as its close button.
void KestrelDlg::reject() {
  if (close_finished_) {
    QDialog::reject();
  } else {
    close();
  }
}

void KestrelDlg::closeEvent(QCloseEvent* event) {
  if (close_finished_) return QDialog::closeEvent(event);
  event->ignore();
  if (!closing_) BeginClosing();
}

// The search is cancelled; the window goes when it has ended, or after the closing wait.
void KestrelDlg::BeginClosing() {
  closing_ = true;
  search_.Cancel();
  closing_box_ = new ClosingBox(this);
  closing_box_->show();
  if (const QScreen* screen = closing_box_->screen()) {
    closing_box_->move(screen->availableGeometry().center() - closing_box_->rect().center());
  }
  startup_timer_->stop();
  refresh_timer_->stop();
  if (search_busy_) {
    closing_timer_->start(session_.timing().closing_wait);
  } else {
    QMetaObject::invokeMethod(this, &KestrelDlg::FinishClosing, Qt::QueuedConnection);
  }
}

void KestrelDlg::FinishClosing() {
  if (close_finished_) return;
  close_finished_ = true;
  closing_timer_->stop();
  delete closing_box_;
  close();
}

}  // namespace quillon
