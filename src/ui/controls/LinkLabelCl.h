// A label that is a link: link colours, an underline while the mouse is over it (or always, or
// never), the hand cursor and a tooltip with its address. A click opens the address through a
// UrlOpener; a failure beeps and explains itself in a box.
//
// While the mouse is over the label, a 100 ms timer watches for it to leave, so that colour and
// underline come back even when the mouse leaves too fast for a move event to say so.
#pragma once

#include <QLabel>
#include <QTimer>
#include <functional>
#include <memory>

namespace quillon {

class UrlOpener;

class LinkLabelCl : public QLabel {
  Q_OBJECT

 public:
  static constexpr QRgb kLinkColour = qRgb(0, 0, 238);
  static constexpr QRgb kVisitedColour = qRgb(85, 26, 139);
  static constexpr QRgb kHoverColour = qRgb(255, 0, 0);
  static constexpr int kLeaveCheckMs = 100;

  // Underline modes; any other value means never.
  static constexpr int kUnderlineOnHover = -1;
  static constexpr int kUnderlineAlways = 1;
  static constexpr int kUnderlineNever = 0;

  // Shows the failure text (Unable to open hyperlink...) to the person.
  using ErrorReporter = std::function<void(LinkLabelCl& label, const QString& message)>;

  // An empty `text` shows the URL; an empty `url` links to the text.
  explicit LinkLabelCl(const QString& text = QString(), const QString& url = QString(),
                       QWidget* parent = nullptr);
  ~LinkLabelCl() override;

  // Both resize the label to its text when adjust-to-fit is on.
  void SetUrl(const QString& url);
  void SetText(const QString& text);
  QString Url() const { return url_; }

  void SetVisited(bool visited);
  bool Visited() const { return visited_; }
  void SetUnderline(int mode);
  int UnderlineMode() const { return underline_mode_; }
  void SetAdjustToFit(bool adjust) { adjust_to_fit_ = adjust; }
  // Fits the label to its text, keeping the edge its alignment names (the left, the right or the
  // centre; the top or the vertical centre).
  void AdjustToText();

  // The default opener is the desktop's.
  void SetOpener(std::shared_ptr<UrlOpener> opener);
  // The default reporter shows a warning box named "linkErrorBox".
  void SetErrorReporter(ErrorReporter reporter);

  // What the label shows now.
  bool MouseOver() const { return over_; }
  bool Underlined() const { return underlined_; }
  QColor TextColour() const;

  // "Unable to open hyperlink:\n\n" and the failure's text.
  static QString FailureMessage(int code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Click();
  void CheckMouseLeft();

  QString url_;
  bool over_ = false;
  bool visited_ = false;
  bool pressed_ = false;
  bool underlined_ = false;  // drawn with the underline font
  int underline_mode_ = kUnderlineOnHover;
  bool adjust_to_fit_ = true;
  QTimer leave_timer_;
  std::shared_ptr<UrlOpener> opener_;
  ErrorReporter report_;
};

}  // namespace quillon
