#pragma once
// Single-line text fields of the prompt window. SelectAllField tells the Edit menu whether Select
// All applies to it; NumberField filters typed and pasted text to a number while NumberMode is
// on.
#include <QLineEdit>
#include <QString>

namespace qm {

class SelectAllField : public QLineEdit {
  Q_OBJECT
 public:
  explicit SelectAllField(QWidget* parent = nullptr);
  // Enables the Edit menu's Select All while the field has the focus.
  bool hasEditFocus() const { return focused_; }
  // Select All: the field's own handler may answer it first; otherwise the whole text.
  void SelectAll();

 signals:
  // Handlers set *handled to answer the command themselves.
  void selectAllRequested(bool* handled);

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  bool focused_ = false;
};

class NumberField : public SelectAllField {
  Q_OBJECT
 public:
  explicit NumberField(QWidget* parent = nullptr);

  bool NumberMode = true;
  bool PlusMinusAllowed = true;
  bool IntegersOnly = false;
  // Set while an accepted key changes the text, so the change is not filtered again.
  bool blocktextchange = false;

  // The key rule: is the character code accepted at the insertion point of this text?
  // Tab is not accepted here: it goes on to the toolkit.
  bool AcceptsKey(int code, int insertionPoint, const QString& text) const;
  // The same rules applied character by character, a sign only in the first position.
  QString Filter(const QString& text) const;
  // The character code of a key event in the toolkit-independent numbering (arrows 28 to 31,
  // Enter 3, Backspace 8, Tab 9, Return 13, Delete 127); -1 when the key has none.
  static int KeyCode(const QKeyEvent& e);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void textWasChanged();
};

}  // namespace qm
