// The card change. This is the part start-up needs: the range check, the current card, the
// card event of the automation log and the timer that opens the first card. The closing and
// opening scripts, the layout of picture, text and buttons and the card sound belong here too.
#include <QTimer>

#include "dialogs/DialogTools.h"
#include "platform/AutomationLog.h"
#include "window/GameWindow.h"

namespace qm {

void GameWindow::ChangeCard(int64_t n) {
  if (n < 1 || n > globals().numcards) {
    DialogTools::Fatal("Invalid card passed to GameWindow.ChangeCard: " + std::to_string(n));
    CloseUpGame(true);
    return;
  }
  MayDrawpicture = false;
  const bool firstCard = !(card >= 1 && card < int64_t(Cards().size()) && Cards()[size_t(card)]);
  if (!firstCard) RecentCard = card;
  card = n;
  Log().card(n);
  setVisible(true);
  MayDrawpicture = true;
  update();
  // The first card's opening scripts run from the timer, after start-up has finished.
  if (firstCard) scriptTimer_->start();
}

}  // namespace qm
