// The address chooser for a card that has IPv6 addresses as well: its IPv4 and IPv6 web
// addresses as three links. Modeless; it deletes itself when closed, and several may be open at
// once.
#pragma once

#include <QDialog>
#include <memory>

namespace quillon {

class LinkLabelCl;
class UrlOpener;

class LaunchAddressDlg : public QDialog {
  Q_OBJECT

 public:
  // Any address may be empty: its link then shows a single blank and opens nothing.
  LaunchAddressDlg(const QString& ipv4_address, const QString& ipv6_address1,
                   const QString& ipv6_address2, const std::shared_ptr<UrlOpener>& opener,
                   QWidget* parent = nullptr);
};

}  // namespace quillon
