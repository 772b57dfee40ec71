// The data file reader against games built by the game writer: round trips, the index-width
// rules, the card record's edge cases and every fatal message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/GameLoader.h"
#include "interpreter/CommandTable.h"
#include "testsupport/GameWriter.h"
#include "testsupport/RichGame.h"

namespace qm {
namespace {

using test::GameWriter;
using test::Operand;
using test::Script;

struct LoadedGame {
  QTemporaryDir dir;
  std::unique_ptr<GameData> game;
};

std::unique_ptr<LoadedGame> writeAndLoad(const GameWriter& w) {
  auto out = std::make_unique<LoadedGame>();
  w.writeTo(out->dir.path());
  out->game = LoadGame(out->dir.path());
  return out;
}

// The message a failed load ends with.
std::string loadFailure(const QString& folder) {
  try {
    LoadGame(folder);
  } catch (const FatalLoadError& e) {
    return e.message();
  }
  return "(loaded)";
}

std::string loadFailure(const GameWriter& w) {
  QTemporaryDir dir;
  w.writeTo(dir.path());
  return loadFailure(dir.path());
}

TEST(GameLoader, RoundTripsEveryRecordAndField) {
  GameWriter w;
  test::buildRichGame(w);
  auto loaded = writeAndLoad(w);
  const GameData& game = *loaded->game;
  const GameGlobals& g = game.globals;

  EXPECT_EQ(g.numcards, 2);
  EXPECT_EQ(g.thegamename, "Rich Game");
  EXPECT_FALSE(g.HideDesk);
  EXPECT_TRUE(g.Centered);
  EXPECT_TRUE(g.Fullscreen);
  EXPECT_EQ(g.AboutTXT, "About the rich game");
  EXPECT_EQ(g.WindowSize, 2);
  EXPECT_EQ(g.begincard, 2);
  EXPECT_TRUE(g.HasNewMenu);
  EXPECT_TRUE(g.HasOpenSaveMenus);
  EXPECT_TRUE(g.HasGameMenu);
  EXPECT_EQ(g.GameMenuName, "Actions");
  EXPECT_TRUE(g.hidetitlebar);
  EXPECT_FALSE(g.hidemenubar);

  ASSERT_EQ(g.CompiledGlobalScripts.size(), 23u);
  EXPECT_EQ(g.CompiledGlobalScripts[GlobalOpenGame], w.CompiledGlobalScripts[GlobalOpenGame]);
  EXPECT_EQ(g.CompiledGlobalScripts[GlobalKeyUp], w.CompiledGlobalScripts[GlobalKeyUp]);

  ASSERT_EQ(game.Sprites.size(), 3u);
  EXPECT_EQ(game.Sprites[0], nullptr);
  const QMSprite& hero = *game.Sprites[1];
  EXPECT_EQ(hero.Name, "Hero");
  EXPECT_FALSE(hero.scrambled);
  EXPECT_EQ(hero.MyPicture.size(), QSize(4, 3));
  EXPECT_FALSE(hero.MyMask.isNull());
  EXPECT_EQ(qAlpha(hero.MyAlphaPicture.pixel(0, 0)), 255 - 0x80);
  EXPECT_TRUE(game.Sprites[2]->scrambled);
  EXPECT_TRUE(game.Sprites[2]->MyMask.isNull());
  EXPECT_EQ(qAlpha(game.Sprites[2]->MyAlphaPicture.pixel(1, 1)), 255);

  ASSERT_EQ(game.Sounds.size(), 2u);
  EXPECT_EQ(game.Sounds[1]->name, "Chime");
  EXPECT_TRUE(game.Sounds[1]->soundFolderItem.endsWith("/chime.wav"));

  ASSERT_EQ(game.Cards.size(), 3u);
  const QMCard& c1 = *game.Cards[1];
  EXPECT_EQ(c1.RTFText, "{\\rtf1\\ansi Hello {\\b world}\\par}");
  EXPECT_EQ(c1.NumButtons, 2);
  EXPECT_TRUE(c1.FramePict);
  EXPECT_FALSE(c1.FrameTxt);
  EXPECT_FALSE(c1.DoPlaySound);
  EXPECT_TRUE(c1.WidePicture);
  EXPECT_EQ(c1.Picture.size(), QSize(16, 8));
  EXPECT_EQ(c1.BGColor, 0x102030u);
  EXPECT_TRUE(c1.SoundLooping);
  EXPECT_FALSE(c1.SoundWaitFinished);
  EXPECT_EQ(c1.PaintBehavior, 2);
  EXPECT_EQ(c1.PlaySound, "Chime");
  EXPECT_EQ(c1.CompiledScripts[CardOpen], w.card(1).CompiledScripts[CardOpen]);

  const QMButton& go = *c1.Buttons[1];
  EXPECT_EQ(go.Caption, "Go");
  EXPECT_EQ(go.ButtonNum, 1);
  EXPECT_TRUE(go.Enabled);
  EXPECT_TRUE(go.Visible);
  EXPECT_TRUE(go.Bold);
  EXPECT_FALSE(go.Italic);
  EXPECT_TRUE(go.Underline);
  EXPECT_FALSE(go.DoTheMenu);
  EXPECT_EQ(go.GoToCard, 2);
  EXPECT_EQ(go.PlaySound, "Chime");
  EXPECT_TRUE(go.soundlooping);
  EXPECT_FALSE(go.SoundWaitFinished);
  EXPECT_EQ(go.CompiledScript, w.card(1).Buttons[0].CompiledScript);
  const QMButton& menu = *c1.Buttons[2];
  EXPECT_FALSE(menu.Enabled);
  EXPECT_TRUE(menu.Italic);
  EXPECT_TRUE(menu.DoTheMenu);
  EXPECT_EQ(menu.Domenu, 2);
  EXPECT_EQ(menu.PlaySound, "");

  ASSERT_EQ(c1.ClickAreaCount(), 1);
  const QMClickArea& door = *c1.ClickAreas[1];
  EXPECT_EQ(door.clicknum, 1);
  EXPECT_EQ(door.left, 10);
  EXPECT_EQ(door.top, 20);
  EXPECT_EQ(door.width, 30);
  EXPECT_EQ(door.height, 40);
  EXPECT_EQ(door.gotocard, 2);
  EXPECT_TRUE(door.enabled);
  EXPECT_TRUE(door.Invert);
  EXPECT_TRUE(door.DoOnDown);
  EXPECT_TRUE(door.SoundWaitFinished);
  EXPECT_FALSE(door.soundlooping);
  EXPECT_FALSE(door.dothemenu);
  EXPECT_EQ(door.playSound, "Chime");
  EXPECT_EQ(door.CompiledScript, go.CompiledScript);

  const QMCard& c2 = *game.Cards[2];
  EXPECT_TRUE(c2.FrameTxt);
  EXPECT_TRUE(c2.DoPlaySound);
  EXPECT_TRUE(c2.Picture.isNull()); // a missing card picture is no error
  EXPECT_TRUE(c2.SoundWaitFinished);
  EXPECT_EQ(c2.PaintBehavior, 3);
  EXPECT_EQ(c2.CompiledScripts[CardOpen], g.CompiledGlobalScripts[GlobalOpenGame]);
  const QMClickArea& off = *c2.ClickAreas[1];
  EXPECT_FALSE(off.enabled);
  EXPECT_TRUE(off.dothemenu);
  EXPECT_EQ(off.domenu, 1);
  EXPECT_TRUE(off.soundlooping);

  ASSERT_EQ(g.Methods.size(), 2u);
  EXPECT_EQ(g.Methods[0], nullptr);
  EXPECT_EQ(g.Methods[1]->Name, "AddOne");
  EXPECT_EQ(g.Methods[1]->NameMethod, "AddOne Method");
  EXPECT_EQ(g.Methods[1]->ReturnType, 1);
  ASSERT_EQ(g.Methods[1]->ParamsArr.size(), 2u);
  EXPECT_EQ(g.ParamType[g.Methods[1]->ParamsArr[0]], uint8_t(OperandKind::NumVariable));
  EXPECT_EQ(g.ParamType[g.Methods[1]->ParamsArr[1]], uint8_t(OperandKind::StrVariable));

  ASSERT_EQ(g.GameMenuItems.size(), 2u);
  EXPECT_EQ(g.GameMenuItems[0].text, "Hint");
  EXPECT_EQ(g.GameMenuItems[0].shortcut, "H");
  EXPECT_NE(g.GameMenuItems[0].compiledScript, 0u);
  EXPECT_EQ(g.GameMenuItems[1].compiledScript, 0u);

  // Pools, lists, scripts and literals as the writer laid them down.
  EXPECT_EQ(g.ParamType.size(), w.parameterCount());
  EXPECT_EQ(g.ParameterLists.size(), w.listCount());
  EXPECT_EQ(g.GameScripts.size(), w.scriptCount() + 1);
  EXPECT_TRUE(g.GameScripts[0].commands.empty());
  const QMScript& open = g.GameScripts[g.CompiledGlobalScripts[GlobalOpenGame]];
  ASSERT_FALSE(open.commands.empty());
  EXPECT_EQ(open.commands.front(), uint16_t(Cmd::SetNumberVariable));
  EXPECT_EQ(open.commands.back(), uint16_t(Cmd::GoCard));
  EXPECT_EQ(g.NumberVariables.size(), 3u); // a, score, i
  EXPECT_EQ(g.StringVariables.size(), 2u);
  EXPECT_EQ(g.NumberArrays.size(), 1u);
  EXPECT_EQ(g.StringArrays.size(), 1u);
  EXPECT_FALSE(g.MathExpressions.empty());
  EXPECT_FALSE(g.StringLiterals.empty());
}

// Builds a game whose pools hold `params` parameters and `lists` lists, with a script whose
// command names the last list and whose last list names the last parameter, then loads it.
void expectWidthsRoundTrip(uint32_t params, uint32_t lists) {
  GameWriter w;
  Script s = w.script();
  const Operand last = w.num(7);
  s.cmd(Cmd::GoCard, {last});
  w.padParameters(params - w.parameterCount());
  // The list that names the last parameter comes last.
  if (lists > w.listCount() + 1) w.padLists(lists - w.listCount() - 1);
  const test::ListRef tail = w.list({test::Operand(params - 1)});
  s.cmdList(Cmd::Wait, tail);
  w.addCard();
  ASSERT_EQ(w.parameterCount(), params);
  ASSERT_EQ(w.listCount(), lists);

  auto loaded = writeAndLoad(w);
  const GameGlobals& g = loaded->game->globals;
  ASSERT_EQ(g.ParamType.size(), params);
  ASSERT_EQ(g.ParameterLists.size(), lists);
  const QMScript& script = g.GameScripts[s.index()];
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_EQ(script.params[1], lists - 1);
  ASSERT_EQ(g.ParameterLists[lists - 1].list.size(), 1u);
  EXPECT_EQ(g.ParameterLists[lists - 1].list[0], params - 1);
  EXPECT_EQ(g.StringLiterals.size(), 0u);
}

TEST(GameLoader, ParameterIndexWidthThresholds) {
  struct Case {
    uint32_t params;
    int width;
  };
  for (const Case c : {Case{256, 1}, Case{257, 2}, Case{65536, 2}, Case{65537, 4}}) {
    SCOPED_TRACE(c.params);
    EXPECT_EQ(parameterIndexWidth(int64_t(c.params) - 1), c.width);
    expectWidthsRoundTrip(c.params, 2);
  }
  EXPECT_EQ(parameterIndexWidth(-1), 1);
}

TEST(GameLoader, ListIndexWidthThresholds) {
  // The upper bound is taken as unsigned: no lists at all gives the widest index.
  EXPECT_EQ(listIndexWidth(-1), 4);
  EXPECT_EQ(listIndexWidth(255), 1);
  EXPECT_EQ(listIndexWidth(256), 2);
  EXPECT_EQ(listIndexWidth(65535), 2);
  EXPECT_EQ(listIndexWidth(65536), 4);
  for (uint32_t lists : {256u, 257u, 65537u}) {
    SCOPED_TRACE(lists);
    expectWidthsRoundTrip(3, lists);
  }
  // With no lists at all, a script's list indexes are 4 bytes wide.
  GameWriter w;
  Script s = w.script();
  s.cmdList(Cmd::Beep, 0x01020304u);
  w.addCard();
  ASSERT_EQ(w.listCount(), 0u);
  auto loaded = writeAndLoad(w);
  EXPECT_EQ(loaded->game->globals.GameScripts[s.index()].params[0], 0x01020304u);
}

TEST(GameLoader, ListCountWidthOnlyTwoMeansSixteenBits) {
  for (uint8_t width : {0, 1, 2, 3}) {
    GameWriter w;
    w.listCountWidth = width;
    const test::ListRef l = w.list({test::Raw{5}, test::Raw{6}});
    w.addCard();
    auto loaded = writeAndLoad(w);
    EXPECT_EQ(std::vector<uint32_t>(loaded->game->globals.ParameterLists[l.index].list.begin(), loaded->game->globals.ParameterLists[l.index].list.end()),
              (std::vector<uint32_t>{5, 6}))
        << int(width);
  }
}

TEST(GameLoader, PoolPartsOfOtherWidthsAreAbsent) {
  GameWriter w;
  w.valueWidth = 2;
  w.ptrWidth = 0;
  w.operand(OperandKind::NumFunctionCall, 0x1234, 9);
  w.addCard();
  auto loaded = writeAndLoad(w);
  const GameGlobals& g = loaded->game->globals;
  ASSERT_EQ(g.ParamValue.size(), 1u);
  EXPECT_EQ(g.ParamValue[0], 0x1234u);
  EXPECT_EQ(g.ParamPtr[0], 0u);
}

TEST(GameLoader, SettingsFlagsAreTrueOnlyForTheCharacterOne) {
  GameWriter w;
  w.addCard();
  // numcards 1, name "G", HideDesk "0", Centered "Y", Fullscreen 0x01, about "", size 3, first
  // card 1, then "1" "1" "1", menu "M", "1" "x", and trailing bytes that are ignored.
  w.rawSettingsRecord = std::string("\x00\x01\x01G0Y\x01\x00\x03\x00\x01" "111\x01M1x" "zz", 20);
  auto loaded = writeAndLoad(w);
  const GameGlobals& g = loaded->game->globals;
  EXPECT_EQ(g.numcards, 1);
  EXPECT_EQ(g.thegamename, "G");
  EXPECT_FALSE(g.HideDesk);
  EXPECT_FALSE(g.Centered);
  EXPECT_FALSE(g.Fullscreen);
  EXPECT_EQ(g.WindowSize, 3);
  EXPECT_EQ(g.begincard, 1);
  EXPECT_TRUE(g.HasNewMenu && g.HasOpenSaveMenus && g.HasGameMenu);
  EXPECT_EQ(g.GameMenuName, "M");
  EXPECT_TRUE(g.hidetitlebar);
  EXPECT_FALSE(g.hidemenubar);
}

TEST(GameLoader, GlobalSlotCountComesFromTheFile) {
  GameWriter w;
  w.CompiledGlobalScripts = {42};
  w.addCard();
  auto loaded = writeAndLoad(w);
  EXPECT_EQ(loaded->game->globals.CompiledGlobalScripts, std::vector<uint32_t>{42});
}

TEST(GameLoader, CardRecordEdgeCases) {
  GameWriter w;
  test::Card& c = w.addCard();
  c.FramePict = c.FrameTxt = c.WidePicture = true;
  c.addButton("A");
  c.addButton(" ");
  c.addButton("C").Visible = false;
  c.SoundWaitFinished = true;
  c.PaintBehavior = 3;
  test::ClickArea& area = c.addClickArea(10, 5, 20, 8);
  ASSERT_EQ(uint8_t(test::encodeCard(c)[0]), 0x3D);
  ASSERT_EQ(test::encodeClickArea(area).size(), 17u);

  test::Card& bare = w.addCard();
  bare.K = 0;
  bare.CompiledScripts[0] = 5;
  bare.CompiledScripts[17] = 6; // not written: K = 0 stores slot 0 only

  auto loaded = writeAndLoad(w);
  const QMCard& card = *loaded->game->Cards[1];
  EXPECT_EQ(card.NumButtons, 3);
  EXPECT_TRUE(card.FramePict);
  EXPECT_TRUE(card.FrameTxt);
  EXPECT_FALSE(card.DoPlaySound);
  EXPECT_TRUE(card.WidePicture);
  EXPECT_TRUE(card.SoundWaitFinished);
  EXPECT_FALSE(card.SoundLooping);
  EXPECT_EQ(card.PaintBehavior, 3);
  EXPECT_TRUE(card.Buttons[1]->showsCaption());
  EXPECT_FALSE(card.Buttons[2]->showsCaption()); // a single blank hides the button
  EXPECT_FALSE(card.Buttons[3]->Visible);
  // Buttons past NumButtons exist, enabled and visible but without a caption.
  for (int b = 4; b <= 8; ++b) {
    ASSERT_NE(card.Buttons[b], nullptr);
    EXPECT_EQ(card.Buttons[b]->ButtonNum, b);
    EXPECT_TRUE(card.Buttons[b]->Visible && card.Buttons[b]->Enabled);
    EXPECT_FALSE(card.Buttons[b]->showsCaption());
  }
  // Click areas are strict on every edge.
  const QMClickArea& a = *card.ClickAreas[1];
  EXPECT_EQ(a.top, 5);
  EXPECT_EQ(a.left, 10);
  EXPECT_FALSE(a.InBounds(10, 9));
  EXPECT_TRUE(a.InBounds(11, 9));
  EXPECT_TRUE(a.InBounds(29, 12));
  EXPECT_FALSE(a.InBounds(30, 9));
  EXPECT_FALSE(a.InBounds(15, 5));
  EXPECT_FALSE(a.InBounds(15, 13));

  const QMCard& b = *loaded->game->Cards[2];
  EXPECT_EQ(b.NumButtons, 0);
  for (int i = 1; i <= 8; ++i) EXPECT_FALSE(b.Buttons[i]->showsCaption());
  EXPECT_EQ(b.CompiledScripts[0], 5u);
  EXPECT_EQ(b.CompiledScripts[17], 0u);
  EXPECT_EQ(b.ClickAreaCount(), 0);
}

TEST(GameLoader, ShortButtonAndClickAreaRecordsReadAsZero) {
  GameWriter w;
  test::Card& c = w.addCard();
  c.addButton("x").rawRecord = std::string("\x84\x02Hi", 4); // enabled, visible, caption "Hi"
  c.addClickArea(0, 0, 0, 0).rawRecord = std::string("\x80\x00\x00\x00\x07", 5);
  auto loaded = writeAndLoad(w);
  const QMCard& card = *loaded->game->Cards[1];
  EXPECT_EQ(card.Buttons[1]->Caption, "Hi");
  EXPECT_TRUE(card.Buttons[1]->Enabled);
  EXPECT_EQ(card.Buttons[1]->CompiledScript, 0u);
  EXPECT_EQ(card.Buttons[1]->GoToCard, 0);
  EXPECT_TRUE(card.ClickAreas[1]->enabled);
  EXPECT_EQ(card.ClickAreas[1]->CompiledScript, 7u);
  EXPECT_EQ(card.ClickAreas[1]->width, 0);
}

TEST(GameLoader, FatalMessages) {
  struct Case {
    const char* name;
    std::function<void(GameWriter&)> build;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"sprite picture missing",
       [](GameWriter& w) { w.addSprite("Hero", "nowhere.png"); },
       "Can't find the sprite picture file for \"Hero\"."},
      {"sprite picture unreadable",
       [](GameWriter& w) {
         w.addSprite("Hero", "broken.png");
         w.addFile("broken.png", "not a picture");
       },
       "Can't open the sprite picture file for \"Hero\"."},
      {"sprite mask missing",
       [](GameWriter& w) {
         w.addSprite("Hero", "hero.png", "gone.png");
         w.addPng("hero.png", 2, 2, Qt::red);
       },
       "Can't find the sprite mask file for \"Hero\"."},
      {"sprite mask unreadable",
       [](GameWriter& w) {
         w.addSprite("Hero", "hero.png", "mask.png");
         w.addPng("hero.png", 2, 2, Qt::red);
         w.addFile("mask.png", "garbage");
       },
       "Can't open the sprite mask file for \"Hero\"."},
      {"sound file missing",
       [](GameWriter& w) { w.addSound("Bell Sound", "bell.wav"); },
       "Can't find the sound file for \"Bell Sound\"."},
      {"more than eight buttons",
       [](GameWriter& w) {
         test::Card& c = w.addCard();
         for (int i = 0; i < 9; ++i) c.addButton("b");
       },
       "Unhandled OutOfBoundsException in QMCard.ImportFromString"},
      {"more than eighteen card slots",
       [](GameWriter& w) { w.addCard().K = 18; },
       "Unhandled OutOfBoundsException in QMCard.ImportFromString"},
      {"truncated card record",
       [](GameWriter& w) { w.addRawCard(std::string("\x00\x00", 2)); },
       "Unhandled OutOfBoundsException in QMCard.ImportFromString"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameWriter w;
    w.addCard();
    c.build(w);
    EXPECT_EQ(loadFailure(w), c.message);
  }
}

TEST(GameLoader, FileLevelFatalMessages) {
  QTemporaryDir dir;
  EXPECT_EQ(loadFailure(dir.path()), "Can't find quillmark.dat.");
  ASSERT_TRUE(QDir(dir.path()).mkdir("quillmark.dat"));
  EXPECT_EQ(loadFailure(dir.path()), "Can't open the game data.");
  EXPECT_EQ(loadFailure(dir.path() + "/no-such-folder"),
            "Unhandled NilObjectException in App.Open");
  try {
    LoadGame(dir.path() + "/x");
  } catch (const FatalLoadError& e) {
    EXPECT_EQ(e.explanation().find("does not exist") != std::string::npos, true);
  }
  try {
    LoadGame(dir.path());
  } catch (const FatalLoadError& e) {
    EXPECT_EQ(e.explanation(), "Data may be missing or corrupted. This program must now quit.");
  }
}

TEST(GameLoader, TruncatedFilesEndWithTheUnhandledErrorMessage) {
  GameWriter w;
  test::buildRichGame(w);
  QTemporaryDir dir;
  w.writeTo(dir.path());
  const std::string bytes = w.bytes();
  // Cutting anywhere inside the sections read before the last one leaves a file that ends
  // too early (the last section's u16 counts are the final 6 bytes).
  for (size_t keep : {size_t(0), size_t(1), size_t(5), bytes.size() / 3, bytes.size() / 2,
                      bytes.size() - 7, bytes.size() - 1}) {
    SCOPED_TRACE(keep);
    try {
      LoadGameFromBytes(std::string_view(bytes).substr(0, keep), dir.path());
      ADD_FAILURE() << "loaded";
    } catch (const FatalLoadError& e) {
      EXPECT_TRUE(e.message() == "Unhandled OutOfBoundsException in App.Open" ||
                  e.message() == "Unhandled OutOfBoundsException in QMCard.ImportFromString")
          << e.message();
    }
  }
}

TEST(GameLoader, HugeCountsEndTheLoadWithoutAllocating) {
  // Each count claims billions of records in a file of a few hundred bytes; the reader must
  // refuse the count up front with the unhandled-error message.
  GameWriter base;
  base.addCard();
  const std::string good = base.bytes();
  // Find section 9 by building the same game with a sentinel parameter count.
  std::string bytes = good;
  // The file ends with: ... u32 P, vw, pw, [params], u32 L, cw, u32 S, u16 literals ... Empty
  // pools: P = 0 sits 4+1+1 + 4+1 + 4 + 2+2+2+4+2+2+2 = 31 bytes from the end.
  const size_t pAt = bytes.size() - 31;
  ASSERT_EQ(bytes.substr(pAt, 4), std::string(4, '\0'));
  for (size_t offset : {pAt, pAt + 6, pAt + 11}) { // P, L, S
    std::string hostile = bytes;
    hostile.replace(offset, 4, "\xFF\xFF\xFF\xFF");
    try {
      LoadGameFromBytes(hostile, QString());
      ADD_FAILURE() << "loaded";
    } catch (const FatalLoadError& e) {
      EXPECT_EQ(e.message(), "Unhandled OutOfBoundsException in App.Open");
    }
  }
}

TEST(GameLoader, HooksRunInFileOrder) {
  GameWriter w;
  w.HideDesk = true;
  w.addCard();
  w.addMenuItem("One");
  w.addMenuItem("Two");
  QTemporaryDir dir;
  w.writeTo(dir.path());
  std::vector<std::string> events;
  LoadHooks hooks;
  hooks.settingsRead = [&](const GameGlobals& g) {
    events.push_back(g.HideDesk ? "shield" : "no shield");
  };
  hooks.windowNeeded = [&](GameData& game) {
    events.push_back("window, cards " + std::to_string(game.Cards.size()));
  };
  hooks.menuItemRead = [&](const QMGameMenuItem& item) { events.push_back(item.text); };
  LoadGame(dir.path(), hooks);
  EXPECT_EQ(events, (std::vector<std::string>{"shield", "window, cards 0", "One", "Two"}));
}

} // namespace
} // namespace qm
