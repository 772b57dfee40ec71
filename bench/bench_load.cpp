// Times loading a large writer-built game (about 1,000,000 parameters, 100,000 scripts, 20,000
// text literals, 500 cards) next to reading the same file's bytes into memory.
// Goal: loading within 3 times the plain read.
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "data/GameLoader.h"
#include "interpreter/CommandTable.h"
#include "testsupport/GameWriter.h"

using namespace qm;
using namespace qm::test;

namespace {

void buildLargeGame(GameWriter& w) {
  std::vector<Operand> texts;
  for (int i = 0; i < 20000; ++i) texts.push_back(w.text("Line of text number " + std::to_string(i)));
  std::vector<Operand> numbers, literals;
  for (int i = 0; i < 1000; ++i) numbers.push_back(w.numVar("v" + std::to_string(i)));
  for (int i = 0; i < 1000; ++i) literals.push_back(w.num(i));
  // 100,000 scripts of 3 commands, each with its own lists and expression; the pool is then
  // padded to 1,000,000 parameters.
  for (int s = 0; s < 100000; ++s) {
    Script script = w.script();
    const Operand a = numbers[size_t(s) % numbers.size()];
    const Operand k = literals[size_t(s) % literals.size()];
    script.SetNumberVariable(Raw{uint32_t(s % 1000)}, w.expr(a, '+', k, '*', literals[2]));
    script.cmd(Cmd::PrintText, {w.concat({texts[size_t(s) % texts.size()], texts[0]})});
    script.cmd(Cmd::GoCard, {literals[1 + size_t(s) % 500]});
  }
  for (int c = 0; c < 500; ++c) {
    Card& card = w.addCard();
    card.RTFText = "{\\rtf1\\ansi Card " + std::to_string(c) + "\\par}";
    for (int b = 0; b < 4; ++b) card.addButton("Button " + std::to_string(b), uint16_t(1 + c % 500));
    for (int a = 0; a < 4; ++a) card.addClickArea(uint16_t(10 * a), 10, 20, 20, 1);
    card.CompiledScripts[CardOpen] = uint32_t(1 + c);
  }
  w.padParameters(w.parameterCount() < 1000000 ? 1000000 - w.parameterCount() : 0);
}

double millis(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  // --load DIR: only load an existing game (for profilers).
  if (argc == 3 && QByteArray(argv[1]) == "--load") {
    auto game = LoadGame(QString::fromLocal8Bit(argv[2]));
    return game->globals.numcards == 500 ? 0 : 1;
  }
  QTemporaryDir dir;
  if (argc == 3 && QByteArray(argv[1]) == "--keep") dir.setAutoRemove(false);
  {
    GameWriter w;
    buildLargeGame(w);
    w.writeTo(dir.path());
    std::printf("game: %u parameters, %u lists, %u scripts, 500 cards\n", w.parameterCount(),
                w.listCount(), w.scriptCount());
  }
  const QString path = dir.path() + "/quillmark.dat";
  if (!dir.autoRemove()) std::printf("game kept in %s\n", qPrintable(dir.path()));
  std::printf("file: %.1f MB\n", double(QFile(path).size()) / 1e6);

  const int runs = 7;
  std::vector<double> readTimes, loadTimes;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    readTimes.push_back(millis(t));
    if (bytes.isEmpty()) return 1;

    t.restart();
    auto game = LoadGame(dir.path());
    loadTimes.push_back(millis(t));
    if (game->globals.numcards != 500) return 1;
  }
  std::sort(readTimes.begin(), readTimes.end());
  std::sort(loadTimes.begin(), loadTimes.end());
  const double read = readTimes[runs / 2], load = loadTimes[runs / 2];
  std::printf("plain read (median of %d): %8.2f ms\n", runs, read);
  std::printf("load       (median of %d): %8.2f ms\n", runs, load);
  std::printf("load / read: %.2f (goal: at most 3)\n", load / read);
  return 0;
}
