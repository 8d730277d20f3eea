#include "ui/main/LaunchAddressDlg.h"

#include <QGroupBox>

#include "ui/controls/DialogUnits.h"
#include "ui/controls/LinkLabelCl.h"

namespace quillon {

LaunchAddressDlg::LaunchAddressDlg(const QString& ipv4_address, const QString& ipv6_address1,
                                   const QString& ipv6_address2,
                                   const std::shared_ptr<UrlOpener>& opener, QWidget* parent)
    : QDialog(parent) {
  using dialog_units::Rect;
  setObjectName(QStringLiteral("launchAddressDlg"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(QStringLiteral("Launch Web User Interface"));
  setFont(dialog_units::Font());
  setFixedSize(dialog_units::Size(259, 86));

  auto* group = new QGroupBox(QStringLiteral("Select the Address"), this);
  group->setObjectName(QStringLiteral("addressGroup"));
  group->setGeometry(Rect(7, 7, 245, 72));

  struct Link {
    const char* name;
    const QString& address;
    int top;
  };
  for (const Link& link : {Link{"ipv4Link", ipv4_address, 20}, Link{"ipv6Link1", ipv6_address1, 39},
                           Link{"ipv6Link2", ipv6_address2, 58}}) {
    auto* label = new LinkLabelCl(QString(), QString(), this);
    label->setObjectName(QString::fromLatin1(link.name));
    label->setGeometry(Rect(16, link.top, 227, 8));
    label->SetOpener(opener);
    // The blank keeps the text off the group's edge; the link is the address alone.
    label->SetText(QStringLiteral(" ") + link.address);
    label->SetUrl(link.address);
  }
}

}  // namespace quillon
