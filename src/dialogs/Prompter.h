#pragma once
// The prompt window: a question, and a text field or a pop-up menu of choices, with OK and
// Cancel. DialogTools::Prompt prepares it and runs it through the dialog seam.
#include <QDialog>
#include <QString>
#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace qm {

class NumberField;
class RuntimeMenu;

class Prompter : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 424;
  static constexpr int kHeight = 142;

  explicit Prompter(QWidget* parent = nullptr);

  // The content area (the window without its menu bar) and the controls.
  QWidget* content() const { return content_; }
  QWidget* Canvas1 = nullptr;
  QLabel* Prompt = nullptr;
  NumberField* EditField1 = nullptr;
  QComboBox* PopupMenu1 = nullptr;
  QPushButton* PushButton1 = nullptr;  // OK
  QPushButton* PushButton2 = nullptr;  // Cancel
  RuntimeMenu* menu() const { return menu_; }

  // Set by OK (true) and Cancel (false).
  bool didit = false;

  void setUpText(const QString& question, const QString& defaultText, int64_t maxLength,
                 bool numbersOnly);
  void setUpChoice(const QString& question, const QString& title);
  void addChoice(const QString& choice);
  // Pre-selects row defaultIndex - 1, not below the first row.
  void selectDefault(int64_t defaultIndex);

  QString fieldText() const;
  // The selected row + 1.
  int64_t chosenIndex() const;

  // Answers given without a person (the non-interactive dialogs): the text replaces the field's
  // text as a paste would (filtered in number mode, cut at the length limit).
  void enterText(const QString& text);
  bool chooseIndex(int64_t oneBased);
  bool chooseText(const QString& text);

 private:
  QWidget* content_ = nullptr;
  RuntimeMenu* menu_ = nullptr;
};

}  // namespace qm
