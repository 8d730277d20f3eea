#include "ui/controls/ListCtrlCl.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quillon {

namespace {

constexpr int kRecordRole = Qt::UserRole;
constexpr int kColumnsPainted = 10;

}  // namespace

ListCtrlCl::ListCtrlCl(QWidget* parent) : QTreeWidget(parent), header_(new HeaderCtrlCl(this)) {
  setHeader(header_);
  setColumnCount(0);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(0);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSortingEnabled(false);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ListCtrlCl::OnSelectionChanged);
}

int ListCtrlCl::InsertColumn(const QString& title, HeaderCtrlCl::Alignment alignment, int width) {
  const int column = columnCount();
  header_->AppendColumn(title, alignment);
  setColumnCount(column + 1);
  // The header paints the titles itself; the model's copy only keeps accessibility working.
  headerItem()->setText(column, title);
  setColumnWidth(column, width);
  return column;
}

int ListCtrlCl::AddRow(const QStringList& texts) {
  auto* item = new QTreeWidgetItem(this);
  if (!texts.isEmpty()) item->setText(0, texts.front());
  item->setData(0, kRecordRole, texts.mid(0, kMaxRecordTexts));
  return indexOfTopLevelItem(item);
}

QStringList ListCtrlCl::RowTexts(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(0, kRecordRole).toStringList() : QStringList();
}

void ListCtrlCl::SetItemText(int row, int column, const QString& text) {
  if (QTreeWidgetItem* item = topLevelItem(row)) item->setText(column, text);
}

QString ListCtrlCl::ItemText(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->text(column) : QString();
}

void ListCtrlCl::SortRows(int column, bool ascending) {
  sort_column_ = column;
  sort_ascending_ = ascending;
  QList<QTreeWidgetItem*> items;
  while (topLevelItemCount() > 0) items.append(takeTopLevelItem(0));
  auto key = [&](const QTreeWidgetItem* item) {
    return item->data(0, kRecordRole).toStringList().value(sort_column_);
  };
  std::stable_sort(items.begin(), items.end(), [&](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    const int order = QString::localeAwareCompare(key(a), key(b));
    return sort_ascending_ ? order < 0 : order > 0;
  });
  addTopLevelItems(items);
}

std::vector<int> ListCtrlCl::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

bool ListCtrlCl::IsRowSelected(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item && item->isSelected();
}

void ListCtrlCl::SelectRow(int row, bool selected) {
  if (QTreeWidgetItem* item = topLevelItem(row)) item->setSelected(selected);
}

void ListCtrlCl::SelectAndFocusRow(int row) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (!item) return;
  item->setSelected(true);
  selectionModel()->setCurrentIndex(indexFromItem(item), QItemSelectionModel::NoUpdate);
  scrollToItem(item);
}

void ListCtrlCl::SelectAllRows() {
  selectAll();
}

int ListCtrlCl::RowAt(const QPoint& viewport_pos) const {
  const QModelIndex index = indexAt(viewport_pos);
  return index.isValid() ? index.row() : -1;
}

// Rows keep the style's default height; a temporary row measures it when the list is empty.
int ListCtrlCl::RowHeight() const {
  QTreeWidget probe;
  probe.setFont(font());
  probe.setColumnCount(1);
  probe.setRootIsDecorated(false);
  auto* item = new QTreeWidgetItem(&probe);
  item->setText(0, QStringLiteral("0"));
  return probe.sizeHintForRow(0);
}

void ListCtrlCl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  // The list always shows its selection, so a selected row is highlighted with or without focus.
  const bool highlighted = selectionModel()->isSelected(index);
  painter->save();
  painter->fillRect(option.rect, highlighted ? QColor(kHighlightColour) : QColor(Qt::white));
  painter->setPen(Qt::black);
  painter->setFont(option.font);
  const int columns = std::min(columnCount(), kColumnsPainted);
  for (int column = 0; column < columns; ++column) {
    const QModelIndex cell = index.sibling(index.row(), column);
    const QRect text_rect = visualRect(cell).adjusted(5, 0, -1, 0);
    if (!text_rect.isValid()) continue;
    painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      cell.data(Qt::DisplayRole).toString());
  }
  painter->restore();
}

void ListCtrlCl::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit Clicked(RowAt(event->position().toPoint()));
}

void ListCtrlCl::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit DoubleClicked();
}

void ListCtrlCl::OnSelectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
  const QModelIndexList changed = selected.isEmpty() ? deselected.indexes() : selected.indexes();
  if (!changed.isEmpty()) emit RowChanged(changed.last().row());
}

}  // namespace quillon
