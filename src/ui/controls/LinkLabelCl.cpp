#include "ui/controls/LinkLabelCl.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "flows/UrlOpener.h"
#include "ui/controls/DesktopUrlOpener.h"
#include "ui/controls/HandCursor.h"

namespace quillon {

namespace {

void ShowErrorBox(LinkLabelCl& label, const QString& message) {
  QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), message,
                  QMessageBox::Ok, label.window());
  box.setObjectName(QStringLiteral("linkErrorBox"));
  box.exec();
}

}  // namespace

LinkLabelCl::LinkLabelCl(const QString& text, const QString& url, QWidget* parent)
    : QLabel(parent), url_(url.isEmpty() ? text : url), report_(ShowErrorBox) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setText(text.isEmpty() ? url_ : text);
  setToolTip(url_);
  setMouseTracking(true);
  setCursor(HandCursor());
  leave_timer_.setInterval(kLeaveCheckMs);
  connect(&leave_timer_, &QTimer::timeout, this, &LinkLabelCl::CheckMouseLeft);
}

LinkLabelCl::~LinkLabelCl() = default;

void LinkLabelCl::SetUrl(const QString& url) {
  url_ = url;
  AdjustToText();
  setToolTip(url_);
}

void LinkLabelCl::SetText(const QString& text) {
  setText(text);
  AdjustToText();
}

void LinkLabelCl::SetVisited(bool visited) {
  visited_ = visited;
  update();
}

void LinkLabelCl::SetUnderline(int mode) {
  if (mode == underline_mode_) return;
  underlined_ = mode == kUnderlineAlways;
  update();
  underline_mode_ = mode;
}

void LinkLabelCl::SetOpener(std::shared_ptr<UrlOpener> opener) {
  opener_ = std::move(opener);
}

void LinkLabelCl::SetErrorReporter(ErrorReporter reporter) {
  report_ = std::move(reporter);
}

QColor LinkLabelCl::TextColour() const {
  if (over_) return QColor(kHoverColour);
  return QColor(visited_ ? kVisitedColour : kLinkColour);
}

QString LinkLabelCl::FailureMessage(int code) {
  return QStringLiteral("Unable to open hyperlink:\n\n") +
         QString::fromStdString(UrlOpenFailureText(code));
}

void LinkLabelCl::AdjustToText() {
  if (!adjust_to_fit_) return;
  QFont underline = font();
  underline.setUnderline(true);
  const QSize text_size = QFontMetrics(underline).size(Qt::TextSingleLine, text());
  const QRect old = geometry();
  const QSize size(text_size.width() + width() - contentsRect().width(),
                   text_size.height() + height() - contentsRect().height());
  const Qt::Alignment align = alignment();
  int top = old.top();
  if (align & Qt::AlignVCenter) top += (old.height() - size.height()) / 2;
  int left = old.left();
  if (align & Qt::AlignHCenter) {
    left += (old.width() - size.width()) / 2;
  } else if (align & Qt::AlignRight) {
    left = old.right() + 1 - size.width();
  }
  setGeometry(QRect(QPoint(left, top), size));
}

void LinkLabelCl::paintEvent(QPaintEvent*) {
  // No background of its own: what lies behind shows through, the dialog's face or the inside
  // of a group box, which styles may shade differently from the face.
  QPainter painter(this);
  QFont shown = font();
  shown.setUnderline(underlined_);
  painter.setFont(shown);
  painter.setPen(TextColour());
  painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

void LinkLabelCl::mouseMoveEvent(QMouseEvent* event) {
  if (!over_) {
    over_ = true;
    if (underline_mode_ == kUnderlineOnHover) underlined_ = true;
    update();
    leave_timer_.start();
  }
  QLabel::mouseMoveEvent(event);
}

void LinkLabelCl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void LinkLabelCl::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) Click();
}

void LinkLabelCl::Click() {
  over_ = false;
  if (!opener_) opener_ = std::make_shared<DesktopUrlOpener>();
  const int result = opener_->Open(url_.toStdString());
  visited_ = url_open::Opened(result);
  if (visited_) {
    SetVisited(true);
    return;
  }
  update();  // back to the link colour, also after an earlier success
  QApplication::beep();
  if (report_) report_(*this, FailureMessage(result));
}

void LinkLabelCl::CheckMouseLeft() {
  if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
  over_ = false;
  leave_timer_.stop();
  if (underline_mode_ != kUnderlineAlways) underlined_ = false;
  update();
}

}  // namespace quillon
