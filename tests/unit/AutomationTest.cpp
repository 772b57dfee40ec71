// Automation: the log's line format, the command line, replay files and replayed input.
#include <gtest/gtest.h>
#include <QApplication>
#include <QJsonArray>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "app/Options.h"
#include "app/Replay.h"
#include "app/Snapshot.h"
#include "tests/unit/ShellTestSupport.h"
#include "window/GameButton.h"
#include "window/GameCanvas.h"
#include "window/SelectAllArea.h"

namespace qm::test {
namespace {

TEST(AutomationLog, LinesAreJsonObjectsWithTheEventFirst) {
  LogCapture log;
  Log().start("Castle \"Dark\"", 3);
  Log().dialog("note", "line\none", "tab\there \\", "OK");
  Log().prompt("choice", "Q?", nullptr);
  Log().prompt("number", "Q?", "12.5");
  Log().event("custom", {{"n", 2.5}, {"i", int64_t(-7)}, {"b", true}, {"inf", 1.0 / 0.0}});
  Log().sound("play", "Bell");
  Log().quit(124);
  const QByteArray expected =
      "{\"ev\":\"start\",\"game\":\"Castle \\\"Dark\\\"\",\"cards\":3}\n"
      "{\"ev\":\"dialog\",\"kind\":\"note\",\"message\":\"line\\none\","
      "\"explanation\":\"tab\\there \\\\\",\"answer\":\"OK\"}\n"
      "{\"ev\":\"prompt\",\"kind\":\"choice\",\"question\":\"Q?\",\"answer\":null}\n"
      "{\"ev\":\"prompt\",\"kind\":\"number\",\"question\":\"Q?\",\"answer\":\"12.5\"}\n"
      "{\"ev\":\"custom\",\"n\":2.5,\"i\":-7,\"b\":true,\"inf\":null}\n"
      "{\"ev\":\"sound\",\"op\":\"play\",\"name\":\"Bell\"}\n"
      "{\"ev\":\"quit\",\"status\":124}\n";
  EXPECT_EQ(log.text(), expected);
}

TEST(AutomationLog, TextsStayValidJson) {
  EXPECT_EQ(JsonQuote("caf\xc3\xa9"), "\"caf\xc3\xa9\"");              // UTF-8 kept
  EXPECT_EQ(JsonQuote(std::string("a\x01z", 3)), "\"a\\u0001z\"");     // controls escaped
  EXPECT_EQ(JsonQuote("bad \xff byte"), "\"bad \xef\xbf\xbd byte\"");  // invalid: U+FFFD
  // Without an open log nothing is written and nothing fails.
  Log().close();
  EXPECT_FALSE(Log().enabled());
  Log().card(3);
}

TEST(AutomationOptions, CommandLines) {
  struct Case {
    QStringList args;
    bool ok;
  };
  const Case cases[] = {
      {{}, true},
      {{"games/castle"}, true},
      {{"--headless", "--log", "-", "g"}, true},
      {{"g", "--replay=r.txt", "--timeout", "2.5"}, true},
      {{"--help"}, true},
      {{"--version"}, true},
      {{"--bogus"}, false},
      {{"-x"}, false},
      {{"a", "b"}, false},
      {{"--log"}, false},
      {{"--replay", ""}, false},
      {{"--timeout", "soon"}, false},
      {{"--timeout", "0"}, false},
      {{"--timeout", "-1"}, false},
      {{"--headless=yes"}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseOptions(c.args).error.isEmpty(), c.ok) << c.args.join(' ').toStdString();

  const Options o =
      ParseOptions({"g", "--headless", "--replay", "r.txt", "--log=out.jsonl", "--timeout", "2.5"})
          .options;
  EXPECT_EQ(o.gameDir, "g");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.replayFile, "r.txt");
  EXPECT_EQ(o.logTarget, "out.jsonl");
  EXPECT_EQ(o.timeoutSeconds, 2.5);
  EXPECT_TRUE(o.nonInteractive());
  EXPECT_FALSE(ParseOptions({"g", "--log", "-"}).options.nonInteractive());
  EXPECT_TRUE(ParseOptions({"--replay", "r"}).options.nonInteractive());
}

TEST(AutomationOptions, ResourcesFolder) {
  Options none;
  EXPECT_EQ(ResourcesFolder(none, "/opt/qm/bin"), "/opt/qm/Resources");
  QTemporaryDir dir;
  QFile data(dir.filePath("quillmark.dat"));
  ASSERT_TRUE(data.open(QIODevice::WriteOnly));
  data.close();
  Options file;
  file.gameDir = data.fileName();
  EXPECT_EQ(ResourcesFolder(file, "/x"), dir.path());
  Options folder;
  folder.gameDir = dir.path();
  EXPECT_EQ(ResourcesFolder(folder, "/x"), dir.path());
}

TEST(AutomationReplay, ParsesEveryCommand) {
  const QString text =
      "# a comment\n"
      "\n"
      "wait 250\r\n"
      "click 10 20\n"
      "  press 1 2\n"
      "release 3 4\n"
      "drag -5 6\n"
      "move 7 8\n"
      "key Return\n"
      "key x\n"
      "type  two words \n"
      "button 8\n"
      "menu File/New Game\n"
      "answer Sir Robin\n"
      "answer\n"
      "cancel\n"
      "choose 2\n"
      "screenshot out dir/shot.png\n"
      "snapshot state.json\n"
      "close\n"
      "quit\n";
  std::vector<ReplayCommand> c;
  QString error;
  ASSERT_TRUE(ParseReplay(text, c, error)) << error.toStdString();
  ASSERT_EQ(c.size(), 19u);
  using K = ReplayCommand::Kind;
  EXPECT_EQ(c[0].kind, K::Wait);
  EXPECT_EQ(c[0].a, 250);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[1].kind, K::Click);
  EXPECT_EQ(std::pair(c[1].a, c[1].b), std::pair(int64_t(10), int64_t(20)));
  EXPECT_EQ(c[2].kind, K::Press);
  EXPECT_EQ(c[4].kind, K::Drag);
  EXPECT_EQ(c[4].a, -5);
  EXPECT_EQ(c[6].text, "Return");
  EXPECT_EQ(c[7].text, "x");
  EXPECT_EQ(c[8].kind, K::Type);
  EXPECT_EQ(c[8].text, " two words ");  // the rest of the line after one blank
  EXPECT_EQ(c[9].a, 8);
  EXPECT_EQ(c[10].text, "File");
  EXPECT_EQ(c[10].item, "New Game");
  EXPECT_EQ(c[11].text, "Sir Robin");
  EXPECT_EQ(c[12].kind, K::Answer);
  EXPECT_EQ(c[12].text, "");
  EXPECT_EQ(c[13].kind, K::Cancel);
  EXPECT_EQ(c[14].a, 2);
  EXPECT_EQ(c[15].text, "out dir/shot.png");
  EXPECT_EQ(c[16].kind, K::Snapshot);
  EXPECT_EQ(c[17].kind, K::Close);
  EXPECT_EQ(c[18].kind, K::Quit);
  EXPECT_EQ(c[18].line, 21);
}

TEST(AutomationReplay, MalformedLinesAreNamed) {
  const std::pair<const char*, const char*> cases[] = {
      {"jump 1", "unknown command \"jump\""},
      {"click 10", "click X Y"},
      {"click 10 twenty", "whole numbers"},
      {"wait -1", "wait"},
      {"wait", "wait MS"},
      {"key Shift", "unknown key"},
      {"type", "type needs text"},
      {"button 9", "1 to 8"},
      {"button 0", "1 to 8"},
      {"menu File", "menu TITLE/ITEM"},
      {"menu /Quit", "menu TITLE/ITEM"},
      {"choose 0", "choose"},
      {"screenshot", "needs a file"},
      {"quit now", "takes no argument"},
  };
  for (const auto& [line, problem] : cases) {
    std::vector<ReplayCommand> c;
    QString error;
    EXPECT_FALSE(ParseReplay(QString("wait 1\n\n%1\n").arg(line), c, error)) << line;
    EXPECT_TRUE(error.startsWith("line 3: ")) << error.toStdString();
    EXPECT_TRUE(error.contains(problem)) << error.toStdString();
    EXPECT_TRUE(c.empty());
  }
}

// Records the input events a widget receives.
class InputRecorder : public QObject {
 public:
  struct Seen {
    QEvent::Type type;
    QPoint pos;
    int key;
    QString text;
  };
  std::vector<Seen> seen;
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(e);
        seen.push_back({e->type(), m->position().toPoint(), int(m->buttons()), {}});
        break;
      }
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        seen.push_back({e->type(), {}, k->key(), k->text()});
        break;
      }
      default: break;
    }
    return false;
  }
};

TEST(AutomationReplay, InputArrivesAsQtEvents) {
  DialogsScope dialogs;
  GameWriter w;
  w.WindowSize = 1;  // the buttons lie inside the window
  Card& card = w.addCard();
  card.addButton("Go");
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  InputRecorder recorder;
  win->Content()->installEventFilter(&recorder);
  win->Content()->setFocusPolicy(Qt::StrongFocus);
  win->Content()->setFocus();
  // As for real input, moves without a button reach only widgets that track the mouse.
  win->Content()->setMouseTracking(true);
  ReplayInput input(*win);

  input.click(QPoint(40, 50));
  input.press(QPoint(10, 10));
  input.drag(QPoint(20, 30));
  input.release(QPoint(25, 35));
  input.move(QPoint(60, 70));
  input.key("Return");
  input.type("a");
  ASSERT_EQ(recorder.seen.size(), 10u);
  EXPECT_EQ(recorder.seen[0].type, QEvent::MouseButtonPress);
  EXPECT_EQ(recorder.seen[0].pos, QPoint(40, 50));
  EXPECT_EQ(recorder.seen[1].type, QEvent::MouseButtonRelease);
  EXPECT_EQ(recorder.seen[3].type, QEvent::MouseMove);
  EXPECT_EQ(recorder.seen[3].pos, QPoint(20, 30));
  EXPECT_EQ(recorder.seen[3].key, int(Qt::LeftButton));  // dragging holds the button
  EXPECT_EQ(recorder.seen[5].key, int(Qt::NoButton));
  EXPECT_EQ(recorder.seen[6].type, QEvent::KeyPress);
  EXPECT_EQ(recorder.seen[6].key, int(Qt::Key_Return));
  EXPECT_EQ(recorder.seen[6].text, "\r");
  EXPECT_EQ(recorder.seen[7].type, QEvent::KeyRelease);
  EXPECT_EQ(recorder.seen[8].key, int(Qt::Key_A));
  EXPECT_EQ(recorder.seen[8].text, "a");

  // A click over a push button reaches the button, as "button N" does.
  int clicks = 0;
  QObject::connect(win->GameButton(0), &QPushButton::clicked, [&] { ++clicks; });
  win->GameButton(0)->show();
  input.click(win->GameButton(0)->geometry().center());
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(input.button(1));
  EXPECT_EQ(clicks, 2);
  win->GameButton(0)->hide();
  EXPECT_FALSE(input.button(1));
  EXPECT_EQ(clicks, 2);
}

TEST(AutomationSnapshot, HoldsTheGameState) {
  DialogsScope dialogs;
  GameWriter w;
  w.thegamename = "Castle";
  w.WindowSize = 1;
  w.addCard().addButton("OK");  // a card without buttons would shorten the window
  w.numVarIndex("score");
  w.textVarIndex("name");
  w.numArrayIndex("grid");
  StartedGame game;
  GameWindow* win = game.start(w);
  ASSERT_NE(win, nullptr);
  win->globals().NumberVariables[0] = 42.5;
  win->globals().StringVariables[0] = "Robin";
  win->globals().NumberArrays[0].thearray = {1, 2};
  win->GameField()->setPlainText("Hello");
  const QJsonObject s = Snapshot(*win);
  EXPECT_EQ(s["card"], 1);
  EXPECT_EQ(s["title"], "Castle");
  EXPECT_EQ(s["left"], win->Position().x());
  EXPECT_EQ(s["top"], 51);
  EXPECT_EQ(s["width"], 550);
  EXPECT_EQ(s["height"], 361);
  EXPECT_EQ(s["field"], "Hello");
  EXPECT_EQ(s["numbers"], QJsonArray({42.5}));
  EXPECT_EQ(s["strings"], QJsonArray({"Robin"}));
  EXPECT_EQ(s["numarrays"], QJsonArray({QJsonArray({1, 2})}));
  EXPECT_EQ(s["strarrays"], QJsonArray());
  EXPECT_EQ(s["sprites"], QJsonArray());
}

}  // namespace
}  // namespace qm::test
