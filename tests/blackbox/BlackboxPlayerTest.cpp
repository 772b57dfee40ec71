// The built player binary run as authors and CI run it: headless, with a log, a replay and a
// timeout.
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "interpreter/CommandTable.h"
#include "testsupport/GameWriter.h"

namespace qm::test {
namespace {

struct PlayerRun {
  int status = -1;
  QByteArray out, err;
  qint64 milliseconds = 0;
};

PlayerRun runPlayer(const QStringList& args, const QString& workDir = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");  // --headless must do without it
  static QTemporaryDir runtime;
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  p.setProcessEnvironment(env);
  if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
  QElapsedTimer clock;
  clock.start();
  p.start(QM_PLAYER_BINARY, args);
  PlayerRun r;
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.milliseconds = clock.elapsed();
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  return r;
}

std::vector<QJsonObject> lines(const QByteArray& text) {
  std::vector<QJsonObject> out;
  for (const QByteArray& line : text.split('\n'))
    if (!line.isEmpty()) {
      QJsonParseError error;
      const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
      EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
      out.push_back(doc.object());
    }
  return out;
}

QString writeReplay(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = dir.filePath("replay.txt");
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(text);
  return path;
}

TEST(BlackboxPlayer, LoadedGamePrintsStartAndCardThenEnds) {
  QTemporaryDir dir;
  GameWriter w;
  w.thegamename = "Castle";
  w.addCard();
  w.addCard();
  w.begincard = 2;
  w.writeTo(dir.path());
  const PlayerRun r = runPlayer({"--headless", "--log", "-", dir.path()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const auto events = lines(r.out);
  ASSERT_EQ(events.size(), 3u) << r.out.toStdString();
  EXPECT_EQ(events[0], QJsonObject({{"ev", "start"}, {"game", "Castle"}, {"cards", 2}}));
  EXPECT_EQ(events[1], QJsonObject({{"ev", "card"}, {"card", 2}}));
  EXPECT_EQ(events[2], QJsonObject({{"ev", "quit"}, {"status", 0}}));
}

TEST(BlackboxPlayer, TraceLogsEveryCommandRun) {
  QTemporaryDir dir;
  GameWriter w;
  w.addCard();
  w.CompiledGlobalScripts[GlobalOpenGame] = w.script([&](Script& s) {
    s.SetNumberVariable("x", w.num(1));
    s.If(w.numVar("x"), "=", w.num(1), [&](Script& t) { t.cmd(Cmd::Beep); });
  });
  w.writeTo(dir.path());
  const QString replay = writeReplay(dir, "wait 50\n");
  const PlayerRun r = runPlayer({"--headless", "--trace", "--replay", replay, "--log", "-", dir.path()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  std::vector<QJsonObject> commands;
  for (const QJsonObject& e : lines(r.out))
    if (e["ev"] == "cmd") commands.push_back(e);
  ASSERT_EQ(commands.size(), 3u) << r.out.toStdString();
  EXPECT_EQ(commands[0], QJsonObject({{"ev", "cmd"}, {"loc", "Global Open Game Event"}, {"code", 75},
                                      {"name", "SetNumberVariable"}}));
  EXPECT_EQ(commands[1]["name"], "If");
  EXPECT_EQ(commands[2]["name"], "Beep");

  // Off by default.
  const PlayerRun quiet = runPlayer({"--headless", "--replay", replay, "--log", "-", dir.path()});
  for (const QJsonObject& e : lines(quiet.out)) EXPECT_NE(e["ev"], "cmd");
}

TEST(BlackboxPlayer, MissingDataFileShowsTheFatalMessageAndExitsWithOne) {
  QTemporaryDir dir;
  const QString log = dir.filePath("log.jsonl");
  const PlayerRun r = runPlayer({dir.path(), "--headless", "--log", log});
  EXPECT_EQ(r.status, 1);
  QFile f(log);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const auto events = lines(f.readAll());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(
      events[0],
      QJsonObject({{"ev", "dialog"},
                   {"kind", "fatal"},
                   {"message", "Can't find quillmark.dat."},
                   {"explanation", "Data may be missing or corrupted. This program must now quit."},
                   {"answer", "OK"}}));
  EXPECT_EQ(events[1], QJsonObject({{"ev", "quit"}, {"status", 1}}));
}

TEST(BlackboxPlayer, TimeoutEndsAStillRunningGameWith124) {
  QTemporaryDir dir;
  GameWriter w;
  w.addCard();
  w.writeTo(dir.path());
  const QString replay = writeReplay(dir, "wait 60000\n");
  const PlayerRun r =
      runPlayer({dir.path(), "--replay", replay, "--headless", "--timeout", "1", "--log", "-"});
  EXPECT_EQ(r.status, 124) << r.err.toStdString();
  EXPECT_LT(r.milliseconds, 20000);
  const auto events = lines(r.out);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), QJsonObject({{"ev", "quit"}, {"status", 124}}));
}

TEST(BlackboxPlayer, BadArgumentsAndMalformedReplayExitWithTwo) {
  QTemporaryDir dir;
  GameWriter w;
  w.addCard();
  w.writeTo(dir.path());
  const QString replay = writeReplay(dir, "# setup\nwait 10\nclick 5\n");
  const PlayerRun bad = runPlayer({dir.path(), "--headless", "--replay", replay});
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(bad.err.contains("line 3")) << bad.err.toStdString();
  EXPECT_TRUE(bad.err.contains("click X Y")) << bad.err.toStdString();

  const PlayerRun unknown = runPlayer({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.err.contains("Usage: quillmark-player"));
  const PlayerRun help = runPlayer({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("--timeout SECONDS"));
  const PlayerRun version = runPlayer({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.startsWith("quillmark-player "));
}

TEST(BlackboxPlayer, ScreenshotsHaveTheSizeOfTheSizeCode) {
  const std::tuple<int, QSize> cases[] = {{0, {508, 295}}, {1, {550, 361}}, {6, {1024, 768}}};
  for (const auto& [code, size] : cases) {
    QTemporaryDir dir;
    GameWriter w;
    w.WindowSize = uint8_t(code);
    w.addCard().addButton("OK");  // a card without buttons would shorten the window
    w.writeTo(dir.path());
    const QString replay = writeReplay(dir, "screenshot shot.png\n");
    const PlayerRun r = runPlayer({dir.path(), "--headless", "--replay", replay}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage shot(dir.filePath("shot.png"));
    EXPECT_EQ(shot.size(), size) << "size code " << code;
  }
}

TEST(BlackboxPlayer, SnapshotAndQuitFromTheReplay) {
  QTemporaryDir dir;
  GameWriter w;
  w.thegamename = "Castle";
  w.WindowSize = 1;
  w.addCard().addButton("OK");  // a card without buttons would shorten the window
  w.numVarIndex("score");
  w.textVarIndex("hero");
  w.writeTo(dir.path());
  const QString replay = writeReplay(dir,
                                     "snapshot state.json\n"
                                     "menu File/Quit\n"
                                     "snapshot never.json\n");
  const PlayerRun r =
      runPlayer({dir.path(), "--headless", "--replay", replay, "--log", "-"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  QFile f(dir.filePath("state.json"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QJsonObject s = QJsonDocument::fromJson(f.readAll()).object();
  EXPECT_EQ(s["card"], 1);
  EXPECT_EQ(s["title"], "Castle");
  EXPECT_EQ(s["width"], 550);
  EXPECT_EQ(s["height"], 361);
  EXPECT_EQ(s["top"], 51);
  EXPECT_EQ(s["numbers"], QJsonArray({0}));
  EXPECT_EQ(s["strings"], QJsonArray({""}));
  for (const char* key : {"left", "field", "numarrays", "strarrays", "sprites"})
    EXPECT_TRUE(s.contains(key)) << key;
  // The quit ended the replay: the line after it never ran.
  EXPECT_FALSE(QFile::exists(dir.filePath("never.json")));
  EXPECT_EQ(lines(r.out).back(), QJsonObject({{"ev", "quit"}, {"status", 0}}));
}

}  // namespace
}  // namespace qm::test
