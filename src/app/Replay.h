#pragma once
// Replay files: one command a line, carried out in order once the events of the previous line
// have been handled. Blank lines and lines starting with '#' are skipped.
//
//   wait MS | click X Y | press X Y | release X Y | drag X Y | move X Y | key NAME | type TEXT
//   button N | menu TITLE/ITEM | answer TEXT | cancel | choose N | screenshot FILE
//   snapshot FILE | close | quit
#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

class QWidget;

namespace qm {

class GameWindow;
class ScriptedDialogs;

struct ReplayCommand {
  enum class Kind {
    Wait,
    Click,
    Press,
    Release,
    Drag,
    Move,
    Key,
    Type,
    Button,
    Menu,
    Answer,
    Cancel,
    Choose,
    Screenshot,
    Snapshot,
    Close,
    Quit
  };
  Kind kind = Kind::Wait;
  int line = 0;   // 1-based line of the file
  int64_t a = 0;  // MS, X, N
  int64_t b = 0;  // Y
  QString text;   // NAME, TEXT, FILE, TITLE
  QString item;   // ITEM of a menu command
};

// Parses a whole replay. On a malformed line, returns false with a message naming the line.
bool ParseReplay(const QString& text, std::vector<ReplayCommand>& commands, QString& error);
// Reads and parses a replay file; error names the file and the line.
bool LoadReplay(const QString& path, std::vector<ReplayCommand>& commands, QString& error);

// The key names of "key": one character, or Return, Enter, Tab, Escape, Backspace, Delete,
// Space, Up, Down, Left, Right (any letter case).
bool IsReplayKeyName(const QString& name);

// Input as real input arrives: Qt events sent through the application to the widget under the
// point (mouse) or to the focus widget (keys). Coordinates are content coordinates of the game
// window.
class ReplayInput {
 public:
  explicit ReplayInput(GameWindow& window) : window_(window) {}
  void press(QPoint p);
  void release(QPoint p);
  void drag(QPoint p);
  void move(QPoint p);
  void click(QPoint p) {
    press(p);
    release(p);
  }
  void key(const QString& name);
  void type(const QString& text);
  // Clicks push button n (1 to 8); false when it is hidden or disabled.
  bool button(int n);

 private:
  void mouse(int type, QWidget* target, QPoint contentPoint, int button, int buttons);
  void keyEvent(int key, const QString& text, int modifiers);
  QWidget* keyTarget() const;

  GameWindow& window_;
  QWidget* grabbed_ = nullptr;  // the widget that got the press: drags and the release go there
};

// Plays the commands against the game window. The run ends (status 0, no further script runs)
// after the last command; it stops early when the game quits.
class ReplayDriver : public QObject {
  Q_OBJECT
 public:
  ReplayDriver(std::vector<ReplayCommand> commands, GameWindow& window, ScriptedDialogs& dialogs,
               QObject* parent = nullptr);
  // Starts with the first command once start-up's own events have been handled.
  void start();

 private:
  void step();
  void run(const ReplayCommand& c);
  void finish();
  void warn(const ReplayCommand& c, const QString& message) const;

  std::vector<ReplayCommand> commands_;
  size_t next_ = 0;
  GameWindow& window_;
  ScriptedDialogs& dialogs_;
  ReplayInput input_;
};

}  // namespace qm
