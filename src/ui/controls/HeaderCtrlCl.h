// The device list's header: a flat (or graded) band with bold titles, and optionally taller than
// the style makes it.
#pragma once

#include <QColor>
#include <QHeaderView>
#include <QString>

namespace quillon {

struct HeaderLook {
  QColor background{240, 240, 240};  // colour of the band's first pixel row
  int gradient_step = 0;             // taken off each component per pixel row, never below 0
  int font_height = 15;              // pixels, for the "Arial" bold titles
  QColor text_colour{Qt::black};
};

// The bold "Arial" of the titles, `cell_height` pixels from the top of its ascent to the bottom
// of its descent.
QFont TitleFont(int cell_height);

// The colour of pixel row `row` (0 = top) of a band.
QColor BandRowColour(const HeaderLook& look, int row);

class HeaderCtrlCl : public QHeaderView {
  Q_OBJECT

 public:
  enum class Alignment : char { kLeft = '0', kCentre = '1', kRight = '2' };

  explicit HeaderCtrlCl(QWidget* parent = nullptr);

  // Called by the list for each column it inserts, in order.
  void AppendColumn(const QString& title, Alignment alignment);
  QString ColumnTitle(int column) const;

  void SetLook(const HeaderLook& look);
  const HeaderLook& Look() const { return look_; }
  void SetHeaderHeightScale(double scale);

  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FillBand(QPainter& painter, const QRect& rect) const;

  QStringList titles_;
  QString column_alignment_;  // one character per column, as Alignment
  HeaderLook look_;
  double header_height_scale_ = 1.0;
};

}  // namespace quillon
