#include "dialogs/GameAbout.h"
#include "dialogs/MenuDialogFrame.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/AutomationLog.h"
#include "platform/DialogSeam.h"
#include "platform/EventEdge.h"
#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {
// The link and OK keep their distances to the bottom edge of the 228-pixel design.
constexpr int kLinkFromBottom = GameAbout::kHeight - 160;
constexpr int kOKFromBottom = GameAbout::kHeight - 188;

QFont aboutFont() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  f.setPointSize(13);
  return f;
}
}  // namespace

GameAbout::GameAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About"));
  setModal(true);
  content_ = FrameDialogWithMenu(this, menu_);

  StaticText1 = new QLabel(tr("Made with Quillmark."), content_);
  StaticText1->setGeometry(20, 14, kTextWidth, 120);
  StaticText1->setFont(aboutFont());
  StaticText1->setWordWrap(true);
  StaticText1->setTextFormat(Qt::PlainText);
  StaticText1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  PlainText1 = new QLabel(QString::fromLatin1(kProjectHomePage), content_);
  QFont small = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
  small.setUnderline(true);
  PlainText1->setFont(small);
  PlainText1->setAlignment(Qt::AlignCenter);
  PlainText1->setTextFormat(Qt::PlainText);
  QPalette pal = PlainText1->palette();
  pal.setColor(QPalette::WindowText, QColor(0x13, 0x1B, 0xA8));
  PlainText1->setPalette(pal);
  PlainText1->setCursor(Qt::PointingHandCursor);
  PlainText1->installEventFilter(this);

  PushButton1 = new QPushButton(tr("OK"), content_);
  PushButton1->setDefault(true);
  PushButton1->setAutoDefault(true);
  connect(PushButton1, &QPushButton::clicked, this,
          [this] { AtEventEdge("GameAbout.PushButton1", [this] { OKPressed(); }); });

  setContentHeight(kHeight);
}

void GameAbout::setContentHeight(int height) {
  content_->setFixedSize(kWidth, height);
  PlainText1->setGeometry(20, height - kLinkFromBottom, kTextWidth, 16);
  PushButton1->setGeometry(126, height - kOKFromBottom, 69, 20);
  layout()->activate();
}

int GameAbout::TextHeight(const QString& text) {
  const QFontMetrics metrics(aboutFont());
  return metrics.boundingRect(QRect(0, 0, kTextWidth, 1 << 20), Qt::TextWordWrap, text).height();
}

void GameAbout::SetAboutText(const std::string& text) {
  if (text.empty()) {
    setContentHeight(kEmptyHeight);
    return;
  }
  const QString t = QString::fromStdString(text);
  const int height = TextHeight(t);
  StaticText1->setGeometry(20, 14, kTextWidth, height);
  StaticText1->setText(t);
  setContentHeight(height + kHeightAroundText);
}

void GameAbout::OKPressed() {
  close();
  if (GameWindow* w = GameWindow::Instance()) w->show();
}

void GameAbout::LinkClicked() {
  const std::string url = kProjectHomePage;
  Log().openUrl(url);
  Dialogs().openUrl(url);
  close();
}

bool GameAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PlainText1 && event->type() == QEvent::MouseButtonRelease) {
    AtEventEdge("GameAbout.PlainText", [this] { LinkClicked(); });
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

namespace GameMethods {

namespace {
QPointer<GameAbout>& aboutWindow() {
  static QPointer<GameAbout> w;
  return w;
}
}  // namespace

void AboutWindow(const std::string& text) {
  QPointer<GameAbout>& w = aboutWindow();
  if (!w) w = new GameAbout(GameWindow::Instance());  // lives as long as the game window
  w->SetAboutText(text);
  const bool interactive = Dialogs().interactive();
  Log().dialog("about", text, "", interactive ? "" : "OK");
  if (interactive)
    Dialogs().showAbout(*w);
  else
    w->OKPressed();  // answered at once
}

GameAbout* AboutWindowInstance() {
  return aboutWindow().data();
}

}  // namespace GameMethods

}  // namespace qm
