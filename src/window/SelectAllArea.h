#pragma once
// The card's styled text area (GameField) as the window builds it. Input mode, key handling and
// Select All belong to the text field's own handlers.
#include <QTextEdit>

namespace qm {

class SelectAllArea : public QTextEdit {
  Q_OBJECT
 public:
  explicit SelectAllArea(QWidget* parent = nullptr);
};

}  // namespace qm
