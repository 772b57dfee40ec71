// qmdump: the golden listing of the rich game, and the disassembler on operands that point
// nowhere or into themselves.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "Disassembler.h"
#include "data/GameLoader.h"
#include "interpreter/CommandTable.h"
#include "testsupport/GameWriter.h"
#include "testsupport/RichGame.h"

namespace qm {
namespace {

TEST(Qmdump, ListsTheRichGameAsTheGoldenText) {
  test::GameWriter w;
  test::buildRichGame(w);
  QTemporaryDir dir;
  w.writeTo(dir.path());

  QProcess dump;
  dump.start(QM_QMDUMP_BINARY, {dir.path() + "/quillmark.dat"});
  ASSERT_TRUE(dump.waitForFinished(30000));
  EXPECT_EQ(dump.exitCode(), 0);
  QFile golden(QM_TEST_DATA_DIR "/rich_game.qmdump.txt");
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  EXPECT_EQ(dump.readAllStandardOutput().toStdString(), golden.readAll().toStdString());
}

TEST(Qmdump, ReportsAFolderWithoutGameData) {
  QTemporaryDir dir;
  QProcess dump;
  dump.start(QM_QMDUMP_BINARY, {dir.path()});
  ASSERT_TRUE(dump.waitForFinished(30000));
  EXPECT_EQ(dump.exitCode(), 1);
  EXPECT_TRUE(dump.readAllStandardError().contains("Can't find quillmark.dat."));
}

TEST(Qmdump, OperandsThatPointNowhereOrIntoThemselves) {
  test::GameWriter w;
  const test::Operand badLiteral = w.operand(OperandKind::NumLiteral, 99);
  const test::Operand badKind = w.operand(200, 1, 2);
  // A concatenation whose list names the concatenation itself.
  const test::Operand self = w.operand(OperandKind::StrConcatenation, 0);
  const test::ListRef selfList = w.list({self});
  test::Script s = w.script();
  s.cmd(Cmd::GoCard, {badLiteral});
  s.cmdList(uint16_t(89), 0);
  s.cmdList(Cmd::Beep, 12345);
  w.addCard();
  ASSERT_EQ(selfList.index, 0u);
  auto game = LoadGameFromBytes(w.bytes(), QString());
  const GameGlobals& g = game->globals;

  EXPECT_EQ(tools::describeOperand(g, badLiteral.index), "<bad number literal 99>");
  EXPECT_EQ(tools::describeOperand(g, badKind.index), "<kind 200 value 1 ptr 2>");
  EXPECT_EQ(tools::describeOperand(g, 4000), "<bad parameter 4000>");
  EXPECT_NE(tools::describeOperand(g, self.index).find("..."), std::string::npos);
  EXPECT_EQ(tools::describeCommand(g, 89, 0).rfind("<no command 89>", 0), 0u);
  EXPECT_EQ(tools::describeCommand(g, uint16_t(Cmd::Beep), 12345), "Beep <bad list 12345>");
  EXPECT_EQ(tools::describeCommand(g, 121, 0).rfind("Call <bad method 0>", 0), 0u);
}

} // namespace
} // namespace qm
