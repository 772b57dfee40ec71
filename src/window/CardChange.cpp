// The card change: closing the old card, laying out picture, text and buttons for the new one,
// and opening it. A repaint that arrives while the change yields or runs a script leaves the card
// area unpainted (MayDrawpicture) instead of painting a half-changed card.
#include <QPalette>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "dialogs/DesktopShield.h"
#include "dialogs/DialogTools.h"
#include "platform/AutomationLog.h"
#include "platform/DialogSeam.h"
#include "platform/QuitRequest.h"
#include "support/Errors.h"
#include "support/RtfReader.h"
#include "support/ThrottledYield.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/GameWindow.h"
#include "window/SelectAllArea.h"

namespace qm {

namespace {
constexpr int kFieldTop = 6;
constexpr int kFieldHiddenTop = -500;
constexpr int kRow1Top = 303;
constexpr int kRow2Top = 333;
// Lefts of the four columns of the full grid, and of a centred row of three.
constexpr int kGridLefts[4] = {5, 142, 279, 416};
constexpr int kCentredLefts[3] = {70, 210, 350};
}  // namespace

void GameWindow::ChangeCard(int64_t n) {
  if (n < 1 || n > globals().numcards) {
    DialogTools::Fatal("Invalid card passed to GameWindow.ChangeCard: " + std::to_string(n));
    CloseUpGame(true);
    return;
  }
  field_->setReadOnly(true);
  EditFix = 0;
  MayDrawpicture = false;
  const bool firstCard = !(card >= 1 && card < int64_t(Cards().size()) && Cards()[size_t(card)]);
  if (!firstCard) {
    RecentCard = card;
    const std::string closeLocation = cardLocation(card, CardClose);
    runScript(CurrentCardRecord().CompiledScripts[CardClose], closeLocation);
    if (!Running()) return;
  }

  card = n;
  Log().card(n);
  QMCard& c = CurrentCardRecord();
  const int64_t buttonCount = std::clamp<int64_t>(c.NumButtons, 0, 8);
  FixButtons(buttonCount);

  const int w = int(GetWidthOffset());
  if (c.WidePicture) {
    PictureWidth = 2 * w + (globals().WindowSize >= 4 ? 550 : 540);
    field_->move(field_->x(), kFieldHiddenTop);
    field_->setEnabled(false);
    field_->setVisible(false);
  } else {
    PictureWidth = w + 267;
    if (field_->y() != kFieldTop) {
      field_->move(field_->x(), kFieldTop);
      field_->setEnabled(true);
      field_->setVisible(true);
    }
  }
  MakeNewScrap();

  const QColor bg = QColor::fromRgb(QRgb(c.BGColor));
  if (BackgroundColor() != bg) {
    SetBackgroundColor(bg);
    canvas_->update();
  }

  for (int64_t i = 1; i <= buttonCount; ++i) {
    if (const auto& record = c.Buttons.at(size_t(i)))
      record->PosessPushButton(*GameButton(int(i - 1)));
    YieldThrottled();
    ThrowIfQuitting();
  }

  if (!c.WidePicture) {
    InhabitTextArea(*field_, c.RTFText);
    QTextCursor cursor = field_->textCursor();
    cursor.setPosition(0);
    field_->setTextCursor(cursor);
    field_->verticalScrollBar()->setValue(field_->verticalScrollBar()->minimum());
  }

  setVisible(true);
  if (DesktopShield::IsFrontmost()) {
    // The shield came in front of the game: bring the game back over it.
    Dialogs().beep();
    hide();
    show();
  }

  MayDrawpicture = true;
  // The card area is drawn once without the paint scripts before the card opens.
  mayCallPaintEvent = false;
  canvas_->repaint();
  mayCallPaintEvent = true;
  if (!Running()) return;

  PlayCardSound(c);

  if (firstCard) {
    // The game's and this card's opening scripts run after start-up has finished.
    scriptTimer_->start();
  } else {
    const std::string openLocation = cardLocation(card, CardOpen);
    runScript(c.CompiledScripts[CardOpen], openLocation);
    if (!Running()) return;
  }
  canvas_->update();
}

void GameWindow::FixButtons(int64_t n) {
  if (globals().WindowSize >= 4) return;
  const int w = int(GetWidthOffset()), h = int(GetHeightOffset());
  auto place = [&](int i, int left, int top) { GameButton(i)->move(w + left, h + top); };
  for (int i = 0; i < 8; ++i) place(i, kGridLefts[i % 4], i < 4 ? kRow1Top : kRow2Top);
  SetContentSize(ContentSize().width(), h + (n == 0 ? 301 : 361));

  auto centredRow = [&](int first, int top) {
    for (int k = 0; k < 3; ++k) place(first + k, kCentredLefts[k], top);
  };
  switch (n) {
    case 1: place(0, 5, kRow1Top); break;
    case 2:
      place(0, 142, kRow1Top);
      place(1, 279, kRow1Top);
      break;
    case 3: centredRow(0, kRow1Top); break;
    case 4:
      place(0, 210, kRow1Top);
      centredRow(1, kRow2Top);
      break;
    case 6:
      centredRow(0, kRow1Top);
      centredRow(3, kRow2Top);
      break;
    default: break;  // 0, 5, 7 and 8 keep the grid
  }
  if (n >= 1)
    for (int i = int(n); i < 8; ++i) GameButton(i)->hide();
}

void GameWindow::MakeNewScrap() {
  const QSize size{int(PictureWidth), int(PictureHeight)};
  if (!BlankPicture.isNull() && BlankPicture.size() == size) return;
  if (size.width() < 1 || size.height() < 1) return;
  // The new picture is not filled: painting fills what the card picture leaves uncovered.
  QImage scrap(size, QImage::Format_ARGB32_Premultiplied);
  if (scrap.isNull()) {
    DialogTools::Fatal("This application has run out of memory and must now quit.");
    RequestQuit(1);
    throw EndException(1);
  }
  BlankPicture = std::move(scrap);
}

QColor GameWindow::BackgroundColor() const {
  return canvas_->palette().color(QPalette::Window);
}

void GameWindow::SetBackgroundColor(const QColor& color) {
  QPalette pal = canvas_->palette();
  pal.setColor(QPalette::Window, color);
  canvas_->setPalette(pal);
}

void GameWindow::PlayCardSound(const QMCard& c) {
  // Sound wiring: PlaySound(c.PlaySound, c.SoundWaitFinished) when the name is not empty, and
  // LoopSound(GetSound(name)) for SoundLooping without SoundWaitFinished. Until the sound
  // playback reaches the window, cards open silently.
  (void)c;
}

}  // namespace qm
