#include "ui/controls/HeaderCtrlCl.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace quillon {

QColor BandRowColour(const HeaderLook& look, int row) {
  const int darker = look.gradient_step * row;
  auto component = [&](int value) { return std::max(0, value - darker); };
  return QColor(component(look.background.red()), component(look.background.green()),
                component(look.background.blue()));
}

// The font height is a cell height, ascent and descent together, as the titles' band was laid out
// for; Qt sizes fonts by their em, so the em is scaled down until the cell fits.
QFont TitleFont(int cell_height) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPixelSize(cell_height);
  const int actual = QFontMetrics(font).height();
  if (actual > cell_height) font.setPixelSize(std::max(1, cell_height * cell_height / actual));
  return font;
}

HeaderCtrlCl::HeaderCtrlCl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setSortIndicatorShown(false);
  setStretchLastSection(false);
}

void HeaderCtrlCl::AppendColumn(const QString& title, Alignment alignment) {
  titles_.append(title);
  column_alignment_.append(QChar(static_cast<char>(alignment)));
}

QString HeaderCtrlCl::ColumnTitle(int column) const {
  return titles_.value(column);
}

void HeaderCtrlCl::SetLook(const HeaderLook& look) {
  look_ = look;
  viewport()->update();
}

void HeaderCtrlCl::SetHeaderHeightScale(double scale) {
  header_height_scale_ = scale;
  updateGeometry();
}

QSize HeaderCtrlCl::sizeHint() const {
  QSize hint = QHeaderView::sizeHint();
  hint.setHeight(static_cast<int>(hint.height() * header_height_scale_));
  return hint;
}

// Each pixel row one gradient step darker; the pixel column at the left edge stays unpainted so
// that it shows as a separator.
void HeaderCtrlCl::FillBand(QPainter& painter, const QRect& rect) const {
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    painter.setPen(BandRowColour(look_, y - rect.top()));
    painter.drawLine(rect.left() + 1, y, rect.right(), y);
  }
}

void HeaderCtrlCl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  painter->save();
  FillBand(*painter, rect);

  painter->setFont(TitleFont(look_.font_height));
  painter->setPen(look_.text_colour);

  QRect text_rect = rect;
  int flags = Qt::TextSingleLine | Qt::AlignTop;
  const QChar alignment =
      logicalIndex < column_alignment_.size() ? column_alignment_.at(logicalIndex) : QChar('1');
  switch (static_cast<Alignment>(alignment.toLatin1())) {
    case Alignment::kLeft:
      text_rect.setLeft(text_rect.left() + 3);
      flags |= Qt::AlignLeft;
      break;
    case Alignment::kRight:
      text_rect.setRight(text_rect.right() - 3);
      flags |= Qt::AlignRight;
      break;
    default:
      flags |= Qt::AlignHCenter;
  }
  text_rect.translate(0, (rect.height() - look_.font_height) / 2);
  painter->drawText(text_rect, flags, titles_.value(logicalIndex));
  painter->restore();
}

void HeaderCtrlCl::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  // The band goes on past the last column.
  const int last = count() - 1;
  if (last < 0) return;
  const int end_of_columns = sectionViewportPosition(last) + sectionSize(last);
  if (end_of_columns >= viewport()->width()) return;
  QPainter painter(viewport());
  FillBand(painter,
           QRect(end_of_columns - 1, 0, viewport()->width() - end_of_columns + 1, height()));
}

}  // namespace quillon
