#include "ui/controls/DesktopUrlOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QThread>
#include <QUrl>

#include "platform/SystemUrlOpener.h"

namespace quillon {

DesktopUrlOpener::DesktopUrlOpener(std::unique_ptr<UrlOpener> fallback)
    : fallback_(fallback ? std::move(fallback) : std::make_unique<SystemUrlOpener>()) {}

DesktopUrlOpener::~DesktopUrlOpener() = default;

int DesktopUrlOpener::Open(const std::string& address) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application != nullptr && QThread::currentThread() != application->thread()) {
    int result = url_open::kUnknownFailure;
    QMetaObject::invokeMethod(
        application, [&] { result = Open(address); }, Qt::BlockingQueuedConnection);
    return result;
  }
  const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
  if (url.isValid() && !url.isRelative() && QDesktopServices::openUrl(url)) {
    return url_open::kOpened;
  }
  return fallback_->Open(address);
}

}  // namespace quillon
