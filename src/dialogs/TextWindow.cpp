#include "dialogs/TextWindow.h"

#include <QAction>
#include <QFontDatabase>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {
// The text area's margins to the window's edges: fixed to all four.
constexpr int kLeft = 20, kTop = 14, kRight = 20, kBottom = 20;
}  // namespace

TextWindow::TextWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint);
  menu_ = new RuntimeMenu(this);
  menu_->applySettings();
  setMenuBar(menu_);
  connect(menu_->FileClose, &QAction::triggered, this, &QWidget::close);
  content_ = new QWidget(this);
  setCentralWidget(content_);

  // The text area is fixed to all four edges.
  auto* layout = new QVBoxLayout(content_);
  layout->setContentsMargins(kLeft, kTop, kRight, kBottom);
  EditField1 = new QPlainTextEdit(content_);
  layout->addWidget(EditField1);
  EditField1->setReadOnly(true);
  EditField1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  EditField1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(12);
  EditField1->setFont(font);
  QPalette pal = EditField1->palette();
  pal.setColor(QPalette::Inactive, QPalette::Highlight, Qt::transparent);
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Text));
  EditField1->setPalette(pal);
  SetContentSize(kWidth, kHeight);
}

void TextWindow::SetText(const std::string& text) {
  EditField1->setPlainText(QString::fromStdString(text));
}

void TextWindow::SetContentSize(int width, int height) {
  const int menuHeight = menu_->isHidden() ? 0 : menu_->sizeHint().height();
  resize(width, height + menuHeight);
}

TextWindow& TextWindow::Shared() {
  static QPointer<TextWindow> w;
  if (!w) w = new TextWindow(GameWindow::Instance());
  return *w;
}

}  // namespace qm
