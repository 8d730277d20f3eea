#include "ui/settings/IpV6Dlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <initializer_list>

namespace quillon {

namespace {

// Room for more than a card keeps, so that a text too long is refused with its message.
constexpr int kMaxAddressText = 64;
constexpr int kMaxPrefixText = 10;

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

IpV6Dlg::IpV6Dlg(QWidget* parent) : SheetPage(parent) {
  setObjectName(QStringLiteral("ipv6Page"));
  BuildControls();
  BuildHiddenControls();
}

QString IpV6Dlg::Caption() const {
  return QStringLiteral("IPv6 Address");
}

void IpV6Dlg::BuildControls() {
  using dialog_units::Rect;
  auto* method_group =
      Named(new QGroupBox(QStringLiteral("Address Configuration"), this), "ipv6MethodGroup");
  method_group->setGeometry(Rect(7, 7, 226, 36));
  auto* method_label =
      Named(new QLabel(QStringLiteral("&Obtain an address by:"), this), "ipv6MethodLabel");
  method_label->setGeometry(Rect(16, 23, 80, 8));
  method_ = Named(new QComboBox(this), "ipv6MethodList");
  method_->setGeometry(Rect(100, 21, 110, 13));
  method_->addItems({QStringLiteral("Automatic"), QStringLiteral("Stateless DHCPV6"),
                     QStringLiteral("DHCPV6"), QStringLiteral("Manual")});
  method_label->setBuddy(method_);

  address_group_ = Named(new QGroupBox(QStringLiteral("IP Address"), this), "ipv6AddressGroup");
  address_group_->setGeometry(Rect(7, 49, 226, 70));
  struct Row {
    const char* text;
    const char* label_name;
    const char* edit_name;
    int top;
    int width;
    QLabel*& label;
    QLineEdit*& edit;
  };
  for (const Row& row :
       {Row{"&IP Address:", "ipv6AddressLabel", "ipv6AddressEdit", 64, 140, address_label_,
            address_},
        Row{"IP&v6 Prefix:", "ipv6PrefixLabel", "ipv6PrefixEdit", 82, 40, prefix_label_, prefix_},
        Row{"&Gateway:", "ipv6GatewayLabel", "ipv6GatewayEdit", 100, 140, gateway_label_,
            gateway_}}) {
    row.label = Named(new QLabel(QString::fromLatin1(row.text), this), row.label_name);
    row.label->setGeometry(Rect(16, row.top + 2, 60, 8));
    row.edit = Named(new QLineEdit(this), row.edit_name);
    row.edit->setGeometry(Rect(80, row.top, row.width, 12));
    row.edit->setMaxLength(kMaxAddressText);
    row.label->setBuddy(row.edit);
  }
  prefix_->setMaxLength(kMaxPrefixText);
  prefix_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), prefix_));

  connect(method_, &QComboBox::activated, this, &IpV6Dlg::OnMethodChosen);
  connect(address_, &QLineEdit::textChanged, this,
          [this](const QString& text) { entries_.address = text.toStdString(); });
  connect(prefix_, &QLineEdit::textChanged, this,
          [this](const QString& text) { entries_.prefix = text.toStdString(); });
  connect(gateway_, &QLineEdit::textChanged, this,
          [this](const QString& text) { entries_.gateway = text.toStdString(); });
}

// Two settings the card is never sent: created, kept at their first choices, never shown.
void IpV6Dlg::BuildHiddenControls() {
  using dialog_units::Rect;
  auto* resend_label =
      Named(new QLabel(QStringLiteral("&Router Discovery Autoresend:"), this), "resendLabel");
  resend_label->setGeometry(Rect(16, 126, 110, 8));
  auto* resend = Named(new QComboBox(this), "resendList");
  resend->setGeometry(Rect(130, 124, 40, 13));
  resend->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
  resend->setCurrentIndex(0);
  resend_label->setBuddy(resend);

  auto* prefixes_label =
      Named(new QLabel(QStringLiteral("&Maximum Number of IPv6 Prefix:"), this), "prefixesLabel");
  prefixes_label->setGeometry(Rect(16, 140, 110, 8));
  auto* prefixes = Named(new QComboBox(this), "prefixCountList");
  prefixes->setGeometry(Rect(130, 138, 40, 13));
  for (int count = 1; count <= 8; ++count) prefixes->addItem(QString::number(count));
  prefixes->setCurrentIndex(7);
  prefixes_label->setBuddy(prefixes);

  for (QWidget* widget :
       std::initializer_list<QWidget*>{resend_label, resend, prefixes_label, prefixes}) {
    widget->hide();
  }
}

void IpV6Dlg::Open(const Ipv6Entries& entries) {
  entries_ = entries;
  method_->setCurrentIndex(entries.method_index);
  address_->setText(QString::fromStdString(entries.address));
  prefix_->setText(QString::fromStdString(entries.prefix));
  gateway_->setText(QString::fromStdString(entries.gateway));
  // The texts as the card gave them, also where the list has no such method.
  entries_ = entries;
  // Opening leaves the frame enabled; choosing a method later takes it along.
  address_group_->setEnabled(true);
  for (QWidget* widget : std::initializer_list<QWidget*>{
           address_label_, prefix_label_, gateway_label_, address_, prefix_, gateway_}) {
    widget->setEnabled(entries.method_index == kIpv6ManualMethod);
  }
}

void IpV6Dlg::OnMethodChosen(int index) {
  entries_.method_index = index;
  SetManualPartEnabled(index == kIpv6ManualMethod);
}

void IpV6Dlg::SetManualPartEnabled(bool enabled) {
  for (QWidget* widget :
       std::initializer_list<QWidget*>{address_group_, address_label_, prefix_label_,
                                       gateway_label_, address_, prefix_, gateway_}) {
    widget->setEnabled(enabled);
  }
}

QWidget* IpV6Dlg::FieldWidget(SettingsField field) const {
  switch (field) {
    case SettingsField::kIpv6Address:
      return address_;
    case SettingsField::kIpv6Prefix:
      return prefix_;
    case SettingsField::kIpv6Gateway:
      return gateway_;
    default:
      return nullptr;
  }
}

}  // namespace quillon
