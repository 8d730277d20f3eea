// A button drawn entirely from pictures: one when idle, one while the mouse is over it, one while
// it is pressed and one while it is disabled.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace quillon {

struct ButtonSkin {
  QPixmap normal;
  QPixmap pressed;
  QPixmap hover;
  QPixmap disabled;  // the normal picture when none is given
  bool border = false;
  int focus_inset = 0;  // 0 draws no focus rectangle
};

class HoverButtonCl : public QAbstractButton {
  Q_OBJECT

 public:
  explicit HoverButtonCl(QWidget* parent = nullptr);

  void SetSkin(ButtonSkin skin);
  const ButtonSkin& Skin() const { return skin_; }

  enum class Face { kNormal, kHover, kPressed, kDisabled };
  // The picture the button shows now.
  Face CurrentFace() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  const QPixmap& Picture(Face face) const;
  void DrawCaption(QPainter& painter, Face face) const;

  ButtonSkin skin_;
  bool hover_ = false;        // the mouse is over the button and no press is under way
  bool button_down_ = false;  // the left button went down here and has not come up yet
};

}  // namespace quillon
