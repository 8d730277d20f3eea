#include "ui/controls/EditCl.h"

#include <QTextOption>

namespace quillon {

// Qt paints the parent's picture under a transparent child on every update, so scrolling or
// selecting leaves no traces and the box needs no repaint help from its window.
EditCl::EditCl(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);
  setAttribute(Qt::WA_TranslucentBackground);
  QPalette transparent = palette();
  transparent.setColor(QPalette::Base, Qt::transparent);
  setPalette(transparent);
  document()->setDocumentMargin(0);
}

void EditCl::SetRightAligned(bool right_aligned) {
  alignment_ = right_aligned ? Qt::AlignRight : Qt::AlignLeft;
  QTextOption option = document()->defaultTextOption();
  option.setAlignment(alignment_);
  document()->setDefaultTextOption(option);
}

void EditCl::SetText(const QString& text) {
  QString plain = text;
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(plain);
}

}  // namespace quillon
