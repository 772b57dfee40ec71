#pragma once
// The player's one main window: the card area, the text area, eight push buttons, the movie, the
// two timers and the menu bar, and the run-time state the interpreter and the event handlers
// share. One instance per process, reached through GameWindow::Instance().
//
// The window is split by concern: GameWindow.cpp builds it (layout and controls), WindowSizes
// holds the size-code tables, WindowLifecycle.cpp the open and close handlers, RunGame and
// CloseUpGame, WindowScriptHost.cpp the interpreter's view of the window, CardChange.cpp the card
// change, CardPaint.cpp the painting of the card area, ScriptTimers.cpp the two timers' actions.
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/GameData.h"
#include "interpreter/ScriptHost.h"
#include "sprites/LiveSprites.h"

class QCloseEvent;
class QColor;
class QPainter;
class QTimer;

namespace qm {

class GameButton;
class GameCanvas;
class Interpreter;
class RuntimeMenu;
class SelectAllArea;

class GameWindow : public QMainWindow, public ScriptHost {
  Q_OBJECT
 public:
  // Content size before the size code is applied.
  static constexpr int kBaseWidth = 550;
  static constexpr int kBaseHeight = 361;

  // Builds the window hidden over the game being loaded; the window takes the game over (the
  // data lives as long as the window) once the load has finished (AdoptGame).
  explicit GameWindow(GameData& game);
  ~GameWindow() override;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // The single instance, or nullptr before it is built.
  static GameWindow* Instance();

  // ---- Controls ----
  qm::GameButton* GameButton(int index) const { return buttons_.at(size_t(index)); }
  SelectAllArea* GameField() const { return field_; }
  QTimer* MasterTimer() const { return masterTimer_; }
  QTimer* ScriptTimer() const { return scriptTimer_; }
  QWidget* TheMovie() const { return movie_; }
  GameCanvas* Content() const { return canvas_; }
  RuntimeMenu* Menu() const { return menu_; }

  // ---- The game ----
  GameData& game() const { return *game_; }
  GameGlobals& globals() const { return game_->globals; }
  std::vector<std::unique_ptr<QMCard>>& Cards() const { return game_->Cards; }
  std::vector<std::unique_ptr<QMSound>>& Sounds() const { return game_->Sounds; }
  std::vector<std::unique_ptr<QMSprite>>& Sprites() const { return game_->Sprites; }
  // Takes the loaded game over and builds the interpreter over its finished tables.
  void AdoptGame(std::unique_ptr<GameData> game);
  bool hasInterpreter() const { return interpreter_ != nullptr; }
  Interpreter& interpreter() const { return *interpreter_; }
  // The game's running flag (Tools.Running), kept by the interpreter.
  bool Running() const;
  void SetRunning(bool running);

  // ---- Size codes and layout ----
  int64_t GetWidthOffset() const;
  int64_t GetHeightOffset() const;
  // The content area's size (the window without its menu bar).
  QSize ContentSize() const;
  void SetContentSize(int width, int height);
  // The window's position: its content area (menu bar included) on the screen.
  QPoint Position() const;
  void MoveTo(int left, int top);

  // ---- Start-up and shutdown ----
  void Event_Open();
  void RunGame();
  void CloseUpGame(bool flag = true);
  // The Quit item: the close scripts when the game runs, then the application quits.
  void FileQuit_Action();
  // The close handler (also reached through close()).
  void Event_Close();

  // ---- Cards ----
  // Cards(card): the current card's record (ScriptHost's CurrentCard gives its number).
  QMCard& CurrentCardRecord() const;
  // Places the button controls for a card with n buttons; never shows one.
  void FixButtons(int64_t n);
  // (Re)creates BlankPicture for PictureWidth x PictureHeight.
  void MakeNewScrap();
  // The window's background colour: what the card area shows where nothing is drawn.
  QColor BackgroundColor() const;
  void SetBackgroundColor(const QColor& color);

  // ---- Painting the card area ----
  void Event_Paint(QPainter& g);
  void DrawBoxes(QPainter& g);
  void DrawPicture(QPainter& g);

  // ---- Timers ----
  void ScriptTimer_Action();
  void MasterTimer_Action();
  // Timer periods are given in ticks of 1/60 second; milliseconds truncated toward zero.
  static int64_t TicksToMilliseconds(double ticks);

  // ---- ScriptHost ----
  void ShowError(const std::string& location, int64_t line, const std::string& message) override;
  int64_t WindowLeft() const override;
  int64_t WindowTop() const override;
  void SetWindowLeft(int64_t left) override;
  void SetWindowTop(int64_t top) override;
  std::string WindowTitle() const override;
  void SetWindowTitle(const std::string& title) override;
  int64_t CurrentCard() const override { return card; }
  void ChangeCard(int64_t n) override;
  bool SpriteExists(int64_t n) const override;
  int64_t SpritePosition(int64_t n, bool vertical) const override;
  void SetSpritePosition(int64_t n, bool vertical, int64_t value) override;
  void ServeEvents() override;
  void LogLine(std::string_view line) override;

  // ---- Run-time state (declaration order of the window's properties) ----
  int64_t card = 0;
  // The live sprite slots (GameSprites) and HighestSprite.
  LiveSprites liveSprites;
  QImage BlankPicture;
  uint32_t TimerScript = 0;
  bool MayDrawpicture = false;
  int64_t PictureWidth = 0;
  QString RootFolder;
  int64_t PictureHeight = 0;
  int64_t EditFix = 0;
  QMClickArea* CurrentCA = nullptr;
  QMSound* LastSound = nullptr;
  int64_t LastGoodEditableSelStart = 0;
  std::string FieldGoodText;
  bool mayDoMoved = false;
  std::string TimerLoc;
  QImage darkenPic;
  int64_t SocketID = 0;
  int64_t RecentCard = 0;
  int64_t ClickNum = 0;
  std::string InputInput;
  bool mayCallPaintEvent = false;
  std::string KeyDownKey;
  int64_t SocketError = 0;
  std::string SocketCmdID;
  std::string SocketCmdDATA;
  int64_t PromptCancelled = 0;
  // Script files 1..5 each way; element 0 never holds a file.
  std::array<std::unique_ptr<QFile>, 6> FILEOUT;
  std::array<std::unique_ptr<QFile>, 6> FILEIN;
  int64_t UrlContentsErr = 0;
  std::string KeyUpKey;
  bool KeyDownWasCalled = false;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Layout();
  void buildControls();
  // Parts that other concerns fill in: the movie player, the sounds, the sockets.
  void StopMovie();
  void StopAllSounds();
  void CloseNetwork();
  // The card's opening sound; filled in by the sound playback.
  void PlayCardSound(const QMCard& c);
  void connectTimers();
  // Runs a script slot under a location; nothing for slot 0 or a slot beyond the table.
  void runScript(uint32_t script, const std::string& location);

  GameData* game_;
  std::unique_ptr<GameData> ownedGame_;
  std::unique_ptr<Interpreter> interpreter_;
  RuntimeMenu* menu_ = nullptr;
  GameCanvas* canvas_ = nullptr;
  std::array<qm::GameButton*, 8> buttons_{};
  SelectAllArea* field_ = nullptr;
  QTimer* masterTimer_ = nullptr;
  QTimer* scriptTimer_ = nullptr;
  QWidget* movie_ = nullptr;
  bool closingUp_ = false;
};

}  // namespace qm
