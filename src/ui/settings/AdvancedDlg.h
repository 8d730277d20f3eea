// The "Advanced" page: the card's four management services (HTTP, HTTPS, Telnet, SSH), each
// switched on or off with its TCP port. HTTP and Telnet can be changed only above level 31;
// HTTPS and SSH not at all on a card that lacks them.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/ConfigSettings.h"
#include "ui/settings/SheetPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quillon {

class AdvancedDlg : public SheetPage {
  Q_OBJECT

 public:
  explicit AdvancedDlg(QWidget* parent = nullptr);

  // Takes the level and the four services from the settings.
  void Open(const NetworkSettings& settings);
  // Puts the four services, as last edited, into the settings.
  void StoreInto(NetworkSettings& settings) const;

  QString Caption() const override;
  // Port conflicts, then the range of ticked HTTP and Telnet.
  CheckResult LeaveCheck() override;
  QWidget* FieldWidget(SettingsField field) const override;

 private:
  // In the page's order, top to bottom.
  enum Service : std::size_t { kHttp, kHttps, kTelnet, kSsh, kServiceCount };

  struct Controls {
    QCheckBox* box = nullptr;
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
  };

  void BuildControls();
  void OnTicked(Service service, bool ticked);
  void OnPortEdited(Service service, const QString& text);
  void SetPortEnabled(Service service, bool enabled);
  ServicePort& Member(Service service);
  static std::uint16_t DefaultPort(Service service);

  int level_ = 0;
  bool has_http_telnet_ = false;
  std::array<ServicePort, kServiceCount> services_{};
  std::array<Controls, kServiceCount> controls_{};
};

}  // namespace quillon
