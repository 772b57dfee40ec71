#include "window/GameWindow.h"

#include <QLayout>
#include <QPalette>
#include <QTimer>
#include <algorithm>

#include "interpreter/Interpreter.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/RuntimeMenu.h"
#include "window/SelectAllArea.h"
#include "window/WindowSizes.h"

namespace qm {

namespace {
GameWindow* instance = nullptr;

// The buttons at size code 1: two rows of four; the captions and tab order as built.
struct ButtonPlace {
  int left, top;
  const char* caption;
  int tabOrder;
};
constexpr ButtonPlace kButtons[8] = {
    {5, 303, " ", 4}, {142, 303, "", 2},  {279, 303, "", 5},  {416, 303, " ", 1},
    {5, 333, " ", 0}, {142, 333, " ", 6}, {279, 333, " ", 7}, {416, 333, " ", 8},
};
constexpr int kButtonWidth = 129;
constexpr int kButtonHeight = 20;
constexpr int kFieldTabOrder = 3;
constexpr int kMovieTabOrder = 11;
}  // namespace

GameWindow* GameWindow::Instance() {
  return instance;
}

GameWindow::GameWindow(GameData& game) : game_(&game) {
  instance = this;
  Layout();
  buildControls();
}

GameWindow::~GameWindow() {
  if (instance == this) instance = nullptr;
}

void GameWindow::Layout() {
  setWindowTitle(QString());
  // A document window: title bar, close and minimise buttons; no resizing, no maximising.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  menu_ = new RuntimeMenu(this);
  setMenuBar(menu_);
  canvas_ = new GameCanvas(this);
  setCentralWidget(canvas_);
  // The window's size follows its content and menu bar; it cannot be resized.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  SetContentSize(kBaseWidth, kBaseHeight);
}

void GameWindow::buildControls() {
  for (int i = 0; i < 8; ++i) {
    auto* b = new qm::GameButton(i, canvas_);
    b->setObjectName(QString("GameButton%1").arg(i));
    b->setGeometry(kButtons[i].left, kButtons[i].top, kButtonWidth, kButtonHeight);
    b->setText(QString::fromLatin1(kButtons[i].caption));
    b->setAutoDefault(false);
    b->setDefault(false);
    buttons_[size_t(i)] = b;
  }
  field_ = new SelectAllArea(canvas_);
  field_->setObjectName("GameField");
  field_->setGeometry(279, 6, 265, 289);

  // The movie player's place; the movie commands put the player into it.
  movie_ = new QWidget(canvas_);
  movie_->setObjectName("TheMovie");
  movie_->setGeometry(271, 324, 0, 0);
  movie_->hide();

  // Tab order as built: the controls sorted by their order numbers.
  std::vector<std::pair<int, QWidget*>> order;
  for (int i = 0; i < 8; ++i) order.emplace_back(kButtons[i].tabOrder, buttons_[size_t(i)]);
  order.emplace_back(kFieldTabOrder, field_);
  order.emplace_back(kMovieTabOrder, movie_);
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);

  masterTimer_ = new QTimer(this);
  masterTimer_->setObjectName("MasterTimer");
  masterTimer_->setInterval(1000);
  masterTimer_->setTimerType(Qt::PreciseTimer);
  scriptTimer_ = new QTimer(this);
  scriptTimer_->setObjectName("ScriptTimer");
  scriptTimer_->setInterval(1);
  scriptTimer_->setSingleShot(true);
  scriptTimer_->setTimerType(Qt::PreciseTimer);
  connectTimers();
  canvas_->setPaintHandler([this](QPainter& g) { Event_Paint(g); });
}

void GameWindow::AdoptGame(std::unique_ptr<GameData> game) {
  game_ = game.get();
  ownedGame_ = std::move(game);
  // The interpreter prepares its view of the tables once: only now are they complete.
  interpreter_ = std::make_unique<Interpreter>(game_->globals, *this);
}

bool GameWindow::Running() const {
  return interpreter_ && interpreter_->Running;
}

void GameWindow::SetRunning(bool running) {
  if (interpreter_) interpreter_->Running = running;
}

int64_t GameWindow::GetWidthOffset() const {
  return GameMethods::GetWidthOffset(globals().WindowSize);
}

int64_t GameWindow::GetHeightOffset() const {
  return GameMethods::GetHeightOffset(globals().WindowSize);
}

QSize GameWindow::ContentSize() const {
  return canvas_->size();
}

void GameWindow::SetContentSize(int width, int height) {
  canvas_->setFixedSize(width, height);
  layout()->activate();
}

QPoint GameWindow::Position() const {
  return geometry().topLeft();
}

void GameWindow::MoveTo(int left, int top) {
  // The geometry of a window leaves its frame out: the position is the content's.
  setGeometry(QRect(QPoint(left, top), geometry().size()));
}

QMCard& GameWindow::CurrentCardRecord() const {
  auto& cards = Cards();
  if (card < 1 || card >= int64_t(cards.size()) || !cards[size_t(card)])
    throw NilObjectException("no current card");
  return *cards[size_t(card)];
}

}  // namespace qm
