#pragma once
// The text window that scripts fill: a resizable document window with one read-only plain text
// area. There is one; the File menu's Close closes it.
#include <QMainWindow>
#include <string>

class QPlainTextEdit;

namespace qm {

class RuntimeMenu;

class TextWindow : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 250;

  explicit TextWindow(QWidget* parent = nullptr);

  QWidget* content() const { return content_; }
  QPlainTextEdit* EditField1 = nullptr;
  RuntimeMenu* menu() const { return menu_; }

  void SetText(const std::string& text);
  // The content area's size; the text area keeps its margins.
  void SetContentSize(int width, int height);

  // The text window, created on first use (hidden until shown).
  static TextWindow& Shared();

 private:
  QWidget* content_ = nullptr;
  RuntimeMenu* menu_ = nullptr;
};

}  // namespace qm
