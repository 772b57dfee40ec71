#include "dialogs/NumberField.h"

#include <QKeyEvent>

namespace qm {

SelectAllField::SelectAllField(QWidget* parent) : QLineEdit(parent) {}

void SelectAllField::SelectAll() {
  bool handled = false;
  emit selectAllRequested(&handled);
  if (!handled) selectAll();
}

void SelectAllField::focusInEvent(QFocusEvent* e) {
  focused_ = true;
  QLineEdit::focusInEvent(e);
}

void SelectAllField::focusOutEvent(QFocusEvent* e) {
  focused_ = false;
  QLineEdit::focusOutEvent(e);
}

NumberField::NumberField(QWidget* parent) : SelectAllField(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] { textWasChanged(); });
}

bool NumberField::AcceptsKey(int code, int insertionPoint, const QString& text) const {
  if (code >= '0' && code <= '9') return true;
  if ((code >= 28 && code <= 32) || code == 3 || code == 8 || code == 13 || code == 127)
    return true;
  if (code == '+' || code == '-') return PlusMinusAllowed && insertionPoint == 0;
  if (code == '.') return !IntegersOnly && !text.contains('.');
  return false;
}

QString NumberField::Filter(const QString& text) const {
  QString out;
  for (const QChar c : text)
    if (AcceptsKey(c.unicode(), int(out.size()), out)) out += c;
  return out;
}

int NumberField::KeyCode(const QKeyEvent& e) {
  switch (e.key()) {
    case Qt::Key_Left: return 28;
    case Qt::Key_Right: return 29;
    case Qt::Key_Up: return 30;
    case Qt::Key_Down: return 31;
    case Qt::Key_Enter: return 3;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: return 13;
    case Qt::Key_Delete: return 127;
    default: break;
  }
  const QString text = e.text();
  return text.isEmpty() ? -1 : text.at(0).unicode();
}

void NumberField::keyPressEvent(QKeyEvent* e) {
  // Shortcuts (copy, paste, select all) are not typing: pasted text is filtered on change.
  const bool shortcut = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  const int code = KeyCode(*e);
  if (!NumberMode || shortcut || code == 9) {
    SelectAllField::keyPressEvent(e);
    return;
  }
  if (!AcceptsKey(code, cursorPosition(), text())) {
    e->accept();  // refused: swallowed
    return;
  }
  blocktextchange = true;
  SelectAllField::keyPressEvent(e);
  blocktextchange = false;
}

void NumberField::textWasChanged() {
  if (!NumberMode || blocktextchange) return;
  const QString filtered = Filter(text());
  if (filtered == text()) return;
  blocktextchange = true;
  setText(filtered);
  blocktextchange = false;
}

}  // namespace qm
