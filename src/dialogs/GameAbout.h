#pragma once
// The About window: the game's about text, a link to the project's home page and OK. There is
// one; showing it again brings it to the front.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace qm {

class RuntimeMenu;

// The address the About window's link shows and opens.
inline constexpr const char* kProjectHomePage = "https://quillmark.example/player";

class GameAbout : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 228;
  static constexpr int kTextWidth = 280;
  // Window height without text, and the height the window adds to the text's.
  static constexpr int kEmptyHeight = 96;
  static constexpr int kHeightAroundText = 108;

  explicit GameAbout(QWidget* parent = nullptr);

  QWidget* content() const { return content_; }
  QLabel* StaticText1 = nullptr;
  QLabel* PlainText1 = nullptr;  // the link
  QPushButton* PushButton1 = nullptr;
  RuntimeMenu* menu() const { return menu_; }

  // Lays the window out for an about text (the height rules).
  void SetAboutText(const std::string& text);
  // Height of a text wrapped to the label's width in the system font at 13 points.
  static int TextHeight(const QString& text);

  void OKPressed();
  void LinkClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setContentHeight(int height);

  QWidget* content_ = nullptr;
  RuntimeMenu* menu_ = nullptr;
};

namespace GameMethods {
// Shows the About window with the text.
void AboutWindow(const std::string& text);
// The About window, or nullptr before it was first shown.
GameAbout* AboutWindowInstance();
}  // namespace GameMethods

}  // namespace qm
