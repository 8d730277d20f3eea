// The device list: a report list that paints its own rows, keeps the texts each row was added
// with (its record, used to match rows to devices and to sort), and carries a HeaderCtrlCl.
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <vector>

#include "ui/controls/HeaderCtrlCl.h"

namespace quillon {

class ListCtrlCl : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr QRgb kHighlightColour = qRgb(212, 222, 238);
  static constexpr int kMaxRecordTexts = 4;

  explicit ListCtrlCl(QWidget* parent = nullptr);

  HeaderCtrlCl& Header() { return *header_; }
  const HeaderCtrlCl& Header() const { return *header_; }
  void SetHeaderHeightScale(double scale) { header_->SetHeaderHeightScale(scale); }

  // Appends a column; returns its index.
  int InsertColumn(const QString& title, HeaderCtrlCl::Alignment alignment, int width);

  // Appends a row showing texts[0] in column 0 and keeping copies of up to four texts as the
  // row's record; returns the new row's index.
  int AddRow(const QStringList& texts);
  QStringList RowTexts(int row) const;
  // A shown text only: it does not join the row's record.
  void SetItemText(int row, int column, const QString& text);
  QString ItemText(int row, int column) const;
  int RowCount() const { return topLevelItemCount(); }
  void DeleteAllRows() { clear(); }

  // Sorts by the record's text of `column` (locale-aware, case-sensitive); a column whose text
  // was not given to AddRow sorts as empty.
  void SortRows(int column, bool ascending);

  // Selected rows in list order.
  std::vector<int> SelectedRows() const;
  bool IsRowSelected(int row) const;
  void SelectRow(int row, bool selected);
  // Selects, focuses and shows one row; the others keep their state.
  void SelectAndFocusRow(int row);
  void SelectAllRows();
  // -1 outside every row.
  int RowAt(const QPoint& viewport_pos) const;
  int RowHeight() const;

 signals:
  // Left button released over the list; row -1 when not over a row.
  void Clicked(int row);
  // Left button double-click anywhere in the list.
  void DoubleClicked();
  // A row changed its selected state; `row` is one that changed.
  void RowChanged(int row);

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

  HeaderCtrlCl* header_;
  bool sort_ascending_ = true;
  int sort_column_ = 0;
};

}  // namespace quillon
