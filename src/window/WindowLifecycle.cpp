// The game window's life: the open handler that applies the game's settings, RunGame, the close
// handler, CloseUpGame and the Quit item.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "dialogs/DialogTools.h"
#include "interpreter/Interpreter.h"
#include "platform/EventEdge.h"
#include "platform/QuitRequest.h"
#include "sprites/QMSprite.h"
#include "support/Errors.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"
#include "window/SelectAllArea.h"
#include "window/WindowSizes.h"

namespace qm {

namespace {
constexpr int kOffScreenTop = -5000;
constexpr int kUncentredTop = 51;

// A half-transparent black dot: black picture, mid-grey mask.
QImage makeDarkenPic() {
  QMSprite dot;
  dot.MyPicture = QImage(1, 1, QImage::Format_RGB32);
  dot.MyPicture.fill(Qt::black);
  dot.MyMask = QImage(1, 1, QImage::Format_RGB32);
  dot.MyMask.fill(QColor(0x80, 0x80, 0x80));
  dot.GenerateAlpha();
  return dot.MyAlphaPicture;
}
}  // namespace

void GameWindow::Event_Open() {
  try {
    GameGlobals& g = globals();
    // 1-3: menu bar, frame, menus.
    menu_->setVisible(!g.hidemenubar);
    if (g.hidetitlebar)
      setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    else  // titled and minimisable: no close control, no resizing
      setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowMinimizeButtonHint);
    menu_->Shape(g);

    // 4-5: live sprite slots, the folder file commands resolve against.
    liveSprites.Open();
    RootFolder = QCoreApplication::applicationDirPath();

    // 6: picture height and buttons. A code outside 0 to 9 would leave the card area without a
    // size: such games run as code 1.
    if (g.WindowSize < 0 || g.WindowSize > 9) g.WindowSize = 1;
    PictureHeight = PictureHeightFor(g.WindowSize);
    if (PictureOnly(g.WindowSize))
      for (int i = 0; i < 8; ++i) GameButton(i)->hide();

    // 7: title.
    setWindowTitle(QString::fromStdString(g.thegamename));

    // 8: window and text area follow the size code.
    const int w = int(GetWidthOffset()), h = int(GetHeightOffset());
    const QSize content = ContentSize();
    SetContentSize(content.width() + 2 * w, content.height() + h);
    const QRect field = field_->geometry();
    field_->setGeometry(field.left() + w, field.top(), field.width() + w, field.height() + h);

    // 9: the darkening dot of pressed click areas.
    darkenPic = makeDarkenPic();
  } catch (...) {
    DialogTools::ExceptionDialog(std::current_exception(), "GameWindow.Open");
  }
}

void GameWindow::RunGame() {
  SetRunning(true);
  MoveTo(Position().x(), kOffScreenTop);
  show();
  ChangeCard(globals().begincard);
  repaint();
  Tools::center(*this);
  if (!globals().Centered) MoveTo(Position().x(), kUncentredTop);
  mayDoMoved = true;
}

void GameWindow::runScript(uint32_t script, const std::string& location) {
  if (script == 0 || !interpreter_) return;
  interpreter_->ExecuteScript(script, location, nullptr);
}

void GameWindow::CloseUpGame(bool /*flag*/) {
  // A close script that quits comes back here: its closing scripts do not run a second time.
  if (Running() && !closingUp_) {
    closingUp_ = true;
    auto& cards = Cards();
    if (card >= 1 && card < int64_t(cards.size()) && cards[size_t(card)]) {
      const std::string location = cardLocation(card, CardClose);
      runScript(cards[size_t(card)]->CompiledScripts[CardClose], location);
    }
    // The game's close script runs even when the card's script stopped the game.
    const auto& globalSlots = globals().CompiledGlobalScripts;
    if (globalSlots.size() > size_t(GlobalCloseGame)) {
      const std::string location = globalSlotLocation(GlobalCloseGame);
      runScript(globalSlots[GlobalCloseGame], location);
    }
  }
  StopMovie();
  SetRunning(false);
  RequestQuit(0);
  throw EndException(0);
}

void GameWindow::FileQuit_Action() {
  if (Running()) CloseUpGame(true);
  RequestQuit(0);
}

void GameWindow::Event_Close() {
  StopAllSounds();
  if (Running()) CloseUpGame(true);  // ends the handler here
  CloseNetwork();
}

void GameWindow::closeEvent(QCloseEvent* event) {
  AtEventEdge("GameWindow.Close", [this] { Event_Close(); });
  event->accept();
  // The player has one main window: once it is closed there is nothing left to run.
  RequestQuit(0);
}

void GameWindow::StopMovie() {
  // The movie player comes with the movie commands; until then there is nothing to stop.
  movie_->hide();
}

void GameWindow::StopAllSounds() {
  // Sounds come with the sound playback; until then nothing plays.
}

void GameWindow::CloseNetwork() {
  // Socket groups and sockets come with the socket commands; until then none exist.
}

}  // namespace qm
