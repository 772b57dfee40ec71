#include "app/Replay.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/Snapshot.h"
#include "platform/EventEdge.h"
#include "platform/QuitRequest.h"
#include "platform/ScriptedDialogs.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/GameWindow.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {

using Kind = ReplayCommand::Kind;

struct KeyName {
  const char* name;
  Qt::Key key;
  const char* text;
};
constexpr KeyName kKeyNames[] = {
    {"Return", Qt::Key_Return, "\r"},
    {"Enter", Qt::Key_Enter, "\r"},
    {"Tab", Qt::Key_Tab, "\t"},
    {"Escape", Qt::Key_Escape, "\x1b"},
    {"Backspace", Qt::Key_Backspace, "\b"},
    {"Delete", Qt::Key_Delete, "\x7f"},
    {"Space", Qt::Key_Space, " "},
    {"Up", Qt::Key_Up, ""},
    {"Down", Qt::Key_Down, ""},
    {"Left", Qt::Key_Left, ""},
    {"Right", Qt::Key_Right, ""},
};

const KeyName* findKeyName(const QString& name) {
  for (const KeyName& k : kKeyNames)
    if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return &k;
  return nullptr;
}

bool toInt(const QString& s, int64_t& out) {
  bool ok = false;
  out = s.toLongLong(&ok);
  return ok;
}

// Parses one command line; returns an empty text or what is wrong with the line.
QString parseLine(const QString& line, ReplayCommand& c) {
  const QString left = line.mid(line.indexOf(QRegularExpression("\\S")));
  const qsizetype gap = left.indexOf(QRegularExpression("\\s"));
  const QString word = gap < 0 ? left : left.left(gap);
  const QString rest = gap < 0 ? QString() : left.mid(gap + 1);  // verbatim after one blank
  const QString args = rest.trimmed();
  const QStringList parts = args.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);

  auto numbers = [&](int count, const char* usage) -> QString {
    if (parts.size() != count) return QString("expected \"%1\"").arg(usage);
    if (!toInt(parts[0], c.a) || (count > 1 && !toInt(parts[1], c.b)))
      return QString("expected \"%1\" with whole numbers").arg(usage);
    return {};
  };
  auto noArgs = [&]() -> QString {
    return parts.isEmpty() ? QString() : QString("\"%1\" takes no argument").arg(word);
  };

  static const std::pair<const char*, Kind> kPoints[] = {{"click", Kind::Click},
                                                         {"press", Kind::Press},
                                                         {"release", Kind::Release},
                                                         {"drag", Kind::Drag},
                                                         {"move", Kind::Move}};
  for (const auto& [name, kind] : kPoints)
    if (word == QLatin1String(name)) {
      c.kind = kind;
      return numbers(2, (std::string(name) + " X Y").c_str());
    }

  if (word == "wait") {
    c.kind = Kind::Wait;
    if (QString e = numbers(1, "wait MS"); !e.isEmpty()) return e;
    return c.a < 0 ? QString("wait needs milliseconds of 0 or more") : QString();
  }
  if (word == "key") {
    c.kind = Kind::Key;
    c.text = args;
    if (args.size() == 1 || findKeyName(args)) return {};
    return QString(
               "unknown key \"%1\": one character or Return, Enter, Tab, Escape, Backspace, "
               "Delete, Space, Up, Down, Left, Right")
        .arg(args);
  }
  if (word == "type") {
    c.kind = Kind::Type;
    c.text = rest;
    return rest.isEmpty() ? QString("type needs text") : QString();
  }
  if (word == "button") {
    c.kind = Kind::Button;
    if (QString e = numbers(1, "button N"); !e.isEmpty()) return e;
    return (c.a < 1 || c.a > 8) ? QString("button needs a number from 1 to 8") : QString();
  }
  if (word == "menu") {
    c.kind = Kind::Menu;
    const qsizetype slash = args.indexOf('/');
    if (slash > 0) {
      c.text = args.left(slash).trimmed();
      c.item = args.mid(slash + 1).trimmed();
    }
    return (c.text.isEmpty() || c.item.isEmpty()) ? QString("expected \"menu TITLE/ITEM\"")
                                                  : QString();
  }
  if (word == "answer") {
    c.kind = Kind::Answer;
    c.text = rest;
    return {};
  }
  if (word == "cancel") {
    c.kind = Kind::Cancel;
    return noArgs();
  }
  if (word == "choose") {
    c.kind = Kind::Choose;
    if (QString e = numbers(1, "choose N"); !e.isEmpty()) return e;
    return c.a < 1 ? QString("choose needs a choice number from 1") : QString();
  }
  if (word == "screenshot" || word == "snapshot") {
    c.kind = word == "screenshot" ? Kind::Screenshot : Kind::Snapshot;
    c.text = args;
    return args.isEmpty() ? QString("%1 needs a file").arg(word) : QString();
  }
  if (word == "close") {
    c.kind = Kind::Close;
    return noArgs();
  }
  if (word == "quit") {
    c.kind = Kind::Quit;
    return noArgs();
  }
  return QString("unknown command \"%1\"").arg(word);
}

}  // namespace

bool IsReplayKeyName(const QString& name) {
  return name.size() == 1 || findKeyName(name);
}

bool ParseReplay(const QString& text, std::vector<ReplayCommand>& commands, QString& error) {
  commands.clear();
  const QStringList lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith('\r')) line.chop(1);
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
    ReplayCommand c;
    c.line = int(i + 1);
    const QString problem = parseLine(line, c);
    if (!problem.isEmpty()) {
      error = QString("line %1: %2: %3").arg(c.line).arg(problem, trimmed);
      commands.clear();
      return false;
    }
    commands.push_back(c);
  }
  return true;
}

bool LoadReplay(const QString& path, std::vector<ReplayCommand>& commands, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QString("cannot read the replay file %1: %2").arg(path, file.errorString());
    return false;
  }
  if (!ParseReplay(QString::fromUtf8(file.readAll()), commands, error)) {
    error = path + ", " + error;
    return false;
  }
  return true;
}

// ---- Input ----

void ReplayInput::mouse(int type, QWidget* target, QPoint contentPoint, int button, int buttons) {
  GameCanvas* canvas = window_.Content();
  const QPointF local = target->mapFrom(canvas, contentPoint);
  const QPointF scene = target->mapTo(target->window(), local.toPoint());
  const QPointF global = canvas->mapToGlobal(contentPoint);
  QCursor::setPos(global.toPoint());
  QMouseEvent e(QEvent::Type(type), local, scene, global, Qt::MouseButton(button),
                Qt::MouseButtons(buttons), QGuiApplication::keyboardModifiers());
  QApplication::sendEvent(target, &e);
}

static QWidget* widgetAt(GameCanvas* canvas, QPoint p) {
  QWidget* w = canvas->childAt(p);
  return w ? w : canvas;
}

void ReplayInput::press(QPoint p) {
  grabbed_ = widgetAt(window_.Content(), p);
  mouse(QEvent::MouseButtonPress, grabbed_, p, Qt::LeftButton, Qt::LeftButton);
}

void ReplayInput::release(QPoint p) {
  QWidget* target = grabbed_ ? grabbed_ : widgetAt(window_.Content(), p);
  grabbed_ = nullptr;
  mouse(QEvent::MouseButtonRelease, target, p, Qt::LeftButton, Qt::NoButton);
}

void ReplayInput::drag(QPoint p) {
  QWidget* target = grabbed_ ? grabbed_ : widgetAt(window_.Content(), p);
  mouse(QEvent::MouseMove, target, p, Qt::NoButton, Qt::LeftButton);
}

void ReplayInput::move(QPoint p) {
  mouse(QEvent::MouseMove, widgetAt(window_.Content(), p), p, Qt::NoButton, Qt::NoButton);
}

QWidget* ReplayInput::keyTarget() const {
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus->window() == &window_) return focus;
  if (QWidget* own = window_.focusWidget()) return own;
  return window_.Content();
}

void ReplayInput::keyEvent(int key, const QString& text, int modifiers) {
  QWidget* target = keyTarget();
  QKeyEvent down(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
  QApplication::sendEvent(target, &down);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), text);
  QApplication::sendEvent(keyTarget(), &up);
}

void ReplayInput::key(const QString& name) {
  if (const KeyName* k = findKeyName(name); k && name.size() > 1) {
    keyEvent(k->key, QString::fromLatin1(k->text),
             k->key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    return;
  }
  type(name);
}

void ReplayInput::type(const QString& text) {
  for (const QChar c : text) {
    int key = c.toUpper().unicode();
    int modifiers = Qt::NoModifier;
    if (c.isLetter() && c.isUpper()) modifiers = Qt::ShiftModifier;
    if (c == ' ')
      key = Qt::Key_Space;
    else if (c == '\t')
      key = Qt::Key_Tab;
    keyEvent(key, QString(c), modifiers);
  }
}

bool ReplayInput::button(int n) {
  qm::GameButton* b = window_.GameButton(n - 1);
  if (!b->isVisible() || !b->isEnabled()) return false;
  const QPoint centre = b->geometry().center();
  press(centre);
  release(centre);
  return true;
}

// ---- Driver ----

ReplayDriver::ReplayDriver(std::vector<ReplayCommand> commands, GameWindow& window,
                           ScriptedDialogs& dialogs, QObject* parent)
    : QObject(parent),
      commands_(std::move(commands)),
      window_(window),
      dialogs_(dialogs),
      input_(window) {}

void ReplayDriver::start() {
  QTimer::singleShot(0, this, [this] { step(); });
}

void ReplayDriver::step() {
  if (QuitRequested()) return;
  // The events the previous command caused are handled first, the first card's opening timer
  // included: its scripts belong to start-up.
  QCoreApplication::sendPostedEvents();
  if (QuitRequested()) return;
  if (window_.ScriptTimer()->isActive()) {
    QTimer::singleShot(1, this, [this] { step(); });
    return;
  }
  if (next_ >= commands_.size()) {
    finish();
    return;
  }
  const ReplayCommand& c = commands_[next_++];
  AtEventEdge([&] { run(c); },
              [&](std::exception_ptr error) {
                try {
                  std::rethrow_exception(error);
                } catch (const std::exception& e) {
                  warn(c, QString::fromUtf8(e.what()));
                } catch (...) {
                  warn(c, "failed");
                }
              });
  if (QuitRequested()) return;
  const int delay = c.kind == Kind::Wait ? int(std::min<int64_t>(c.a, INT32_MAX)) : 0;
  QTimer::singleShot(delay, this, [this] { step(); });
}

void ReplayDriver::run(const ReplayCommand& c) {
  const QPoint p(int(c.a), int(c.b));
  switch (c.kind) {
    case Kind::Wait: break;  // the next step is scheduled after the delay
    case Kind::Click: input_.click(p); break;
    case Kind::Press: input_.press(p); break;
    case Kind::Release: input_.release(p); break;
    case Kind::Drag: input_.drag(p); break;
    case Kind::Move: input_.move(p); break;
    case Kind::Key: input_.key(c.text); break;
    case Kind::Type: input_.type(c.text); break;
    case Kind::Button:
      if (!input_.button(int(c.a))) warn(c, "the button is hidden or disabled: nothing pressed");
      break;
    case Kind::Menu: {
      QMenu* menu = window_.Menu()->findMenu(c.text);
      QAction* action = window_.Menu()->findItem(c.text, c.item);
      if (!menu || !action) {
        warn(c, "no such menu item");
        break;
      }
      emit menu->aboutToShow();  // the menus are enabled as before they are shown
      if (!action->isVisible() || !action->isEnabled()) {
        warn(c, "the menu item is hidden or disabled: nothing chosen");
        break;
      }
      action->trigger();
      break;
    }
    case Kind::Answer: dialogs_.queue({QueuedAnswer::Kind::Answer, c.text.toStdString(), 0}); break;
    case Kind::Cancel: dialogs_.queue({QueuedAnswer::Kind::Cancel, {}, 0}); break;
    case Kind::Choose: dialogs_.queue({QueuedAnswer::Kind::Choose, {}, c.a}); break;
    case Kind::Screenshot:
      if (!SaveScreenshot(window_, c.text)) warn(c, "cannot write the screenshot");
      break;
    case Kind::Snapshot: {
      QString error;
      if (!WriteSnapshot(window_, c.text, &error)) warn(c, "cannot write the snapshot: " + error);
      break;
    }
    case Kind::Close: window_.close(); break;
    case Kind::Quit: window_.Menu()->FileQuit->trigger(); break;
  }
}

void ReplayDriver::finish() {
  // The run ends here: no further script runs.
  window_.SetRunning(false);
  RequestQuit(0);
}

void ReplayDriver::warn(const ReplayCommand& c, const QString& message) const {
  std::fprintf(stderr, "replay line %d: %s\n", c.line, message.toLocal8Bit().constData());
}

}  // namespace qm
