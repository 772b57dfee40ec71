#include "testsupport/RichGame.h"

#include <QColor>

#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"

namespace qm::test {

namespace {

void addCompanionFiles(GameWriter& w) {
  w.addPng("hero.png", 4, 3, QColor(200, 10, 20));
  w.addMask("hero-mask.png", 4, 3, 0x80);
  w.addPng("coin.png", 2, 2, QColor(250, 220, 0));
  w.addPng("room.png", 16, 8, QColor(0, 90, 160));
  w.addWav("chime.wav", 20);
}

} // namespace

void buildRichGame(GameWriter& w) {
  w.thegamename = "Rich Game";
  w.HideDesk = false;
  w.Centered = true;
  w.Fullscreen = true;
  w.AboutTXT = "About the rich game";
  w.WindowSize = 2;
  w.begincard = 2;
  w.HasNewMenu = true;
  w.HasOpenSaveMenus = true;
  w.HasGameMenu = true;
  w.GameMenuName = "Actions";
  w.hidetitlebar = true;
  w.hidemenubar = false;
  addCompanionFiles(w);

  w.addSprite("Hero", "hero.png", "hero-mask.png");
  Sprite& coin = w.addSprite("Coin", "coin.png");
  coin.scrambled = true;
  coin.key = 0x1234;
  w.addSound("Chime", "chime.wav");

  // A method with one number and one text parameter that returns their sum as text.
  const Operand a = w.numVar("a");
  const Operand label = w.textVar("label");
  const MethodRef addOne = w.addMethod("AddOne", {a, label}, [&](Script& s) {
    s.Return(w.expr(a, '+', w.num(1)));
  }, 1);

  Script open = w.script([&](Script& s) {
    s.SetNumberVariable("score", w.num(10));
    s.SetString(w.textVar("name"), w.concat({w.text("Player "), w.textFn(StrFn::Str, w.numVar("score"))}));
    s.If(w.numVar("score"), ">", w.num(5), [&](Script& t) { t.cmd(Cmd::PrintText, {w.text("big")}); },
         [&](Script& e) { e.cmd(Cmd::PrintText, {w.text("small")}); });
    s.SelectText(w.textVar("name"), {{w.text("player 10"), [&](Script& c) { c.cmd(Cmd::Beep); }}},
                 [&](Script& d) { d.cmd(Cmd::ClearText); });
    s.For("i", w.num(1), w.num(3), [&](Script& b) {
      b.SetNumber(w.numElem("scores", w.numVar("i")), w.numMethod(addOne, {w.numVar("i"), w.text("x")}));
    });
    s.cmd(Cmd::DimStringArray, {raw(w.textArrayIndex("names")), w.num(2)});
    s.CallMethod(addOne, {w.num(2), w.text("y")});
    s.cmd(Cmd::GoCard, {w.numFn(NumFn::Round, w.expr(w.numFn(NumFn0::Pi), '\\', w.num(2)))});
  });
  w.CompiledGlobalScripts[GlobalOpenGame] = open;
  w.CompiledGlobalScripts[GlobalKeyUp] = w.script([&](Script& s) { s.Return(); });

  Card& first = w.addCard();
  first.RTFText = "{\\rtf1\\ansi Hello {\\b world}\\par}";
  first.FramePict = true;
  first.WidePicture = true;
  first.PictureFile = "room.png";
  first.BGColor = 0x102030;
  first.CompiledScripts[CardOpen] = w.script([&](Script& s) { s.cmd(Cmd::Wait, {w.num(1)}); });
  Button& go = first.addButton("Go", 2);
  go.Bold = true;
  go.Underline = true;
  go.CompiledScript = w.script([&](Script& s) { s.cmd(Cmd::Note, {w.text("Going")}); });
  go.PlaySound = "Chime";
  go.soundlooping = true;
  Button& menu = first.addButton("Menu");
  menu.DoTheMenu = true;
  menu.Domenu = 2;
  menu.Italic = true;
  menu.Enabled = false;
  ClickArea& door = first.addClickArea(10, 20, 30, 40, 2);
  door.Invert = true;
  door.DoOnDown = true;
  door.playSound = "Chime";
  door.SoundWaitFinished = true;
  door.CompiledScript = go.CompiledScript;
  first.SoundLooping = true;
  first.PaintBehavior = 2;
  first.PlaySound = "Chime";

  Card& second = w.addCard();
  second.FrameTxt = true;
  second.DoPlaySound = true;
  second.K = 0;
  second.CompiledScripts[CardOpen] = open;
  second.PictureFile = "missing-picture.png"; // not an error
  ClickArea& off = second.addClickArea(1, 2, 3, 4);
  off.enabled = false;
  off.dothemenu = true;
  off.domenu = 1;
  off.soundlooping = true;
  second.SoundWaitFinished = true;
  second.PaintBehavior = 3;

  w.addMenuItem("Hint", "H", [&](Script& s) { s.cmd(Cmd::Speak, {w.text("A hint")}); })
      .reserved = 0xDEADBEEF;
  w.addMenuItem("Reset");
}

void writeSeedCompanionFiles(const QString& folder) {
  GameWriter w;
  addCompanionFiles(w);
  w.writeTo(folder);
}

} // namespace qm::test
