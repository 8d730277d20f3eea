#include "ui/settings/AdvancedDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace quillon {

namespace {

constexpr int kMaxPortText = 10;

struct ServiceTexts {
  const char* box;
  const char* label;
  const char* name;  // of its controls: "<name>Box", "<name>Label", "<name>Edit"
};

// In the page's order.
constexpr ServiceTexts kTexts[] = {
    {"&Enable HTTP Function", "&HTTP port number (1-65534):", "http"},
    {"Enable HTTP&S Function", "HTTPS p&ort number (1-65534):", "https"},
    {"Enable &Telnet Function", "Telnet &port number (1-65534):", "telnet"},
    {"Enable SSH &Function", "SSH po&rt number (1-65534):", "ssh"},
};

QString ControlName(const ServiceTexts& texts, const char* kind) {
  return QString::fromLatin1(texts.name) + QString::fromLatin1(kind);
}

}  // namespace

AdvancedDlg::AdvancedDlg(QWidget* parent) : SheetPage(parent) {
  setObjectName(QStringLiteral("advancedPage"));
  BuildControls();
}

QString AdvancedDlg::Caption() const {
  return QStringLiteral("Advanced");
}

void AdvancedDlg::BuildControls() {
  using dialog_units::Rect;
  auto* group = new QGroupBox(QStringLiteral("Management Protocol"), this);
  group->setObjectName(QStringLiteral("protocolGroup"));
  group->setGeometry(Rect(7, 7, 226, 136));
  auto* digits =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
  for (std::size_t i = 0; i < kServiceCount; ++i) {
    const auto service = static_cast<Service>(i);
    const ServiceTexts& texts = kTexts[i];
    const int top = 20 + 30 * static_cast<int>(i);
    Controls& c = controls_[i];
    c.box = new QCheckBox(QString::fromLatin1(texts.box), this);
    c.box->setObjectName(ControlName(texts, "Box"));
    c.box->setGeometry(Rect(16, top, 200, 10));
    c.label = new QLabel(QString::fromLatin1(texts.label), this);
    c.label->setObjectName(ControlName(texts, "Label"));
    c.label->setGeometry(Rect(28, top + 15, 120, 8));
    c.edit = new QLineEdit(this);
    c.edit->setObjectName(ControlName(texts, "Edit"));
    c.edit->setGeometry(Rect(150, top + 13, 50, 12));
    c.edit->setMaxLength(kMaxPortText);
    c.edit->setValidator(digits);
    c.label->setBuddy(c.edit);
    connect(c.box, &QCheckBox::clicked, this,
            [this, service](bool ticked) { OnTicked(service, ticked); });
    connect(c.edit, &QLineEdit::textChanged, this,
            [this, service](const QString& text) { OnPortEdited(service, text); });
  }
}

ServicePort& AdvancedDlg::Member(Service service) {
  return services_[service];
}

std::uint16_t AdvancedDlg::DefaultPort(Service service) {
  switch (service) {
    case kHttp:
      return default_port::kHttp;
    case kHttps:
      return default_port::kHttps;
    case kTelnet:
      return default_port::kTelnet;
    default:
      return default_port::kSsh;
  }
}

void AdvancedDlg::SetPortEnabled(Service service, bool enabled) {
  controls_[service].label->setEnabled(enabled);
  controls_[service].edit->setEnabled(enabled);
}

void AdvancedDlg::Open(const NetworkSettings& settings) {
  level_ = settings.level;
  has_http_telnet_ = settings.has_http_telnet;
  services_ = {settings.http, settings.https, settings.telnet, settings.ssh};

  for (const Service service : {kHttp, kTelnet}) {
    controls_[service].box->setEnabled(has_http_telnet_);
  }
  for (const Service service : {kTelnet, kHttp, kSsh, kHttps}) {
    const ServicePort& port = services_[service];
    controls_[service].box->setChecked(port.enabled);
    SetPortEnabled(service, port.enabled);
    if (!port.exists) controls_[service].box->setEnabled(false);
  }
  if (services_[kTelnet].port == 0) {
    SetPortEnabled(kTelnet, false);
    services_[kTelnet] = {services_[kTelnet].exists, false, default_port::kTelnet};
    controls_[kTelnet].box->setChecked(false);
  }
  // Setting the texts puts the same values back into the members.
  for (std::size_t i = 0; i < kServiceCount; ++i) {
    controls_[i].edit->setText(QString::number(services_[i].port));
  }
}

void AdvancedDlg::StoreInto(NetworkSettings& settings) const {
  settings.http = services_[kHttp];
  settings.https = services_[kHttps];
  settings.telnet = services_[kTelnet];
  settings.ssh = services_[kSsh];
}

void AdvancedDlg::OnTicked(Service service, bool ticked) {
  ServicePort& port = Member(service);
  port.enabled = ticked;
  if (ticked) {
    const std::uint32_t usable = TickedPort(port.port, DefaultPort(service));
    if (usable != port.port) controls_[service].edit->setText(QString::number(usable));
  }
  SetPortEnabled(service, ticked);
}

// An emptied field gets its service's usual port back at once.
void AdvancedDlg::OnPortEdited(Service service, const QString& text) {
  if (text.isEmpty()) {
    controls_[service].edit->setText(QString::number(DefaultPort(service)));
    return;
  }
  Member(service).port = PortEntryValue(text.toStdString());
}

CheckResult AdvancedDlg::LeaveCheck() {
  NetworkSettings settings;
  settings.level = level_;
  settings.has_http_telnet = has_http_telnet_;
  StoreInto(settings);
  return PortsPageLeaveCheck(settings);
}

QWidget* AdvancedDlg::FieldWidget(SettingsField field) const {
  switch (field) {
    case SettingsField::kHttpPort:
      return controls_[kHttp].edit;
    case SettingsField::kHttpsPort:
      return controls_[kHttps].edit;
    case SettingsField::kTelnetPort:
      return controls_[kTelnet].edit;
    case SettingsField::kSshPort:
      return controls_[kSsh].edit;
    default:
      return nullptr;
  }
}

}  // namespace quillon
