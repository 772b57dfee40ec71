#include "window/SelectAllArea.h"

#include <QFont>
#include <QPalette>
#include <QTextOption>

namespace qm {

SelectAllArea::SelectAllArea(QWidget* parent) : QTextEdit(parent) {
  QFont font("geneva");
  font.setPointSize(12);
  setFont(font);
  document()->setDefaultFont(font);
  setAcceptRichText(true);
  setReadOnly(true);
  setFrameStyle(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(false);  // accepts tabs
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, Qt::black);
  // The selection is hidden while the area is inactive.
  pal.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
  setPalette(pal);
  setAttribute(Qt::WA_MacShowFocusRect, false);
  document()->setDocumentMargin(0);
}

}  // namespace qm
