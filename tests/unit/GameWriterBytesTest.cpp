// Pins the game writer to bytes worked out by hand from the file layout, so that the writer and
// the reader cannot agree on a shared mistake. Expected bytes are spelled out field by field here,
// never produced by the writer's own encoders.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "testsupport/CompanionFiles.h"
#include "testsupport/GameWriter.h"

namespace qm::test {
namespace {

// Hand-built expected bytes, big-endian.
struct B {
  std::string s;
  B& u8(unsigned v) {
    s.push_back(char(v));
    return *this;
  }
  B& u16(unsigned v) { return u8(v >> 8).u8(v & 0xFF); }
  B& u24(unsigned v) { return u8(v >> 16).u16(v & 0xFFFF); }
  B& u32(unsigned v) { return u16(v >> 16).u16(v & 0xFFFF); }
  B& str(const std::string& t) {
    s += t;
    return *this;
  }
  B& zeros(size_t n) {
    s.append(n, '\0');
    return *this;
  }
};

std::string hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

#define EXPECT_BYTES(actual, expected) EXPECT_EQ(hex(actual), hex(expected))

// Sections 1 to 8 of a game with default settings (name "Test Game"), no cards, no library,
// no methods, no menu items.
std::string prefixWithoutCards() {
  B b;
  b.u16(25);                                   // settings length
  b.u16(0).u8(9).str("Test Game").str("000");  // numcards, name, HideDesk Centered Fullscreen
  b.u8(0).u8(0).u16(1);                        // about text, window size, first card
  b.str("000").u8(0).str("00");                // menus, menu title, title bar, menu bar
  b.u8(22).zeros(23 * 4);                      // global slots 0..22
  b.u16(0).u16(0);                             // sprites, sounds
  b.u16(0).u8(0);                              // methods, menu items
  return b.s;
}

// Sections 12 to 18 when all are empty.
std::string emptyTail() {
  return B().u16(0).u16(0).u16(0).u32(0).u16(0).u16(0).u16(0).s;
}

TEST(GameWriterBytes, MinimalGameWholeFile) {
  GameWriter w;
  w.thegamename = "G";
  w.Centered = true;
  w.WindowSize = 2;
  w.HasGameMenu = true;
  w.GameMenuName = "Mn";
  w.addCard().BGColor = 0x102030;

  B e;
  e.u16(19);                     // settings record length
  e.u16(1);                      // numcards
  e.u8(1).str("G");              // game name
  e.str("010");                  // HideDesk, Centered, Fullscreen
  e.u8(0);                       // about text
  e.u8(2);                       // window size
  e.u16(1);                      // first card
  e.str("001");                  // new, open/save, game menu
  e.u8(2).str("Mn");             // game menu title
  e.str("00");                   // hide title bar, hide menu bar
  e.u8(22).zeros(92);            // G = 22, 23 empty slots
  e.u16(0).u16(0);               // no sprites, no sounds
  e.u32(83);                     // card record length
  e.u8(0x00).u16(0);             // flags, empty text
  e.u8(17).zeros(18 * 4);        // K = 17, 18 slots
  e.u8(0);                       // no picture
  e.u8(0x10).u8(0x20).u8(0x30);  // red, green, blue
  e.u8(0);                       // no click areas
  e.u8(0).u8(0);                 // flags 2, no sound
  e.u16(0).u8(0);                // no methods, no menu items
  e.u32(0).u8(1).u8(1);          // empty pool, vw 1, pw 1
  e.u32(0).u8(1);                // no lists, count width 1
  e.u32(0);                      // no scripts
  e.str(emptyTail());

  EXPECT_BYTES(w.bytes(), e.s);
}

TEST(GameWriterBytes, CardRecordWithButtonAndClickArea) {
  Card c;
  c.FramePict = true;
  c.WidePicture = true;
  c.RTFText = "{\\rtf1}";
  c.K = 1;
  c.CompiledScripts[0] = 5;
  c.CompiledScripts[1] = 6;
  c.CompiledScripts[2] = 9;  // past K: not written
  c.PictureFile = "p.png";
  c.BGColor = 0xFF8000;
  Button& b = c.addButton("Go", 0x0102);
  b.Bold = true;
  b.Visible = false;
  b.CompiledScript = 7;
  b.Domenu = 3;
  b.soundlooping = true;
  b.PlaySound = "s";
  ClickArea& a = c.addClickArea(/*left*/ 10, /*top*/ 20, /*width*/ 30, /*height*/ 40, 2);
  a.Invert = true;
  a.DoOnDown = true;
  a.CompiledScript = 0x010203;
  a.domenu = 1;
  c.SoundWaitFinished = true;
  c.PaintBehavior = 3;

  B e;
  e.u8(0x19);                         // one button, FramePict, WidePicture
  e.u16(7).str("{\\rtf1}");           // text
  e.u8(1).u32(5).u32(6);              // K = 1: slots 0 and 1
  e.u8(5).str("p.png");               // picture
  e.u8(0xFF).u8(0x80).u8(0x00);       // colour
  e.u24(14);                          // button record length
  e.u8(0xC0);                         // Enabled, Bold (not visible)
  e.u8(2).str("Go");                  // caption
  e.u32(7).u16(0x0102).u8(3);         // script, go to card, menu
  e.u8(0x50).u8(1).str("s");          // looping + sound follows, sound name
  e.u8(1);                            // one click area
  e.u24(17);                          // m = 0: 17 bytes
  e.u8(0x86).u8(0);                   // enabled, Invert, DoOnDown; unused byte
  e.u24(0x010203).u8(0);              // script, m
  e.u16(20).u16(10).u16(30).u16(40);  // top before left, width, height
  e.u16(2).u8(1);                     // go to card, menu
  e.u8(0xB0).u8(0);                   // SoundWaitFinished, PaintBehavior 3; no sound

  EXPECT_BYTES(encodeCard(c), e.s);

  // A sound name lengthens the click-area record by its length.
  a.playSound = "abc";
  EXPECT_EQ(encodeClickArea(a).size(), 20u);
  EXPECT_EQ(encodeClickArea(a).substr(5, 6), std::string("\x03"
                                                         "abc"
                                                         "\x00\x14",
                                                         6));
}

TEST(GameWriterBytes, TwoCommandScriptWithItsListIndexes) {
  GameWriter w;
  w.CompiledGlobalScripts[GlobalOpenGame] = w.script([&](Script& s) {
    s.cmd(20, {w.num(2)});      // GoCard 2
    s.cmd(14, {w.text("Hi")});  // PrintText "Hi"
  });

  B e;
  e.str(prefixWithoutCards());
  e.s[2 + 25 + 1 + 3] = 1;               // global slot 0 = script 1
  e.u32(2).u8(1).u8(1);                  // two parameters, vw 1, pw 1
  e.u8(0).u8(0).u8(0);                   // p0: number literal 0
  e.u8(9).u8(0).u8(0);                   // p1: text literal 0
  e.u32(2).u8(1);                        // two lists, 8-bit counts
  e.u8(1).u8(0);                         // list 0: [p0]
  e.u8(1).u8(1);                         // list 1: [p1]
  e.u32(1);                              // one script
  e.u16(2).u16(20).u8(0).u16(14).u8(1);  // codes and 1-byte list indexes alternate
  e.u16(1).u32(0x40000000).u32(0);       // number literal 2.0
  e.u16(0).u16(0).u32(0);                // variables, arrays, expressions
  e.u16(1).u16(2).str("Hi");             // text literal
  e.u16(0).u16(0);

  EXPECT_BYTES(w.bytes(), e.s);
}

TEST(GameWriterBytes, IfWithElseAndExpressionLayouts) {
  GameWriter w;
  // Separate statements: C++ does not fix the order in which call arguments run.
  const Operand x = w.numVar("x");                     // p0, variable 0
  const Operand one = w.num(1);                        // p1
  const Operand two = w.num(2);                        // p2
  const Operand sum = w.expr(x, '+', one, '\\', two);  // p3
  w.script([&](Script& s) {
    s.If(
        sum, ">", w.num(3), [&](Script& t) { t.Return(); }, Block{});
  });

  B e;
  e.str(prefixWithoutCards());
  e.u32(5).u8(1).u8(1);
  e.u8(1).u8(0).u8(0);  // p0: variable x
  e.u8(0).u8(0).u8(0);  // p1: literal 0 (1)
  e.u8(0).u8(1).u8(0);  // p2: literal 1 (2)
  e.u8(6).u8(0).u8(0);  // p3: expression 0
  e.u8(0).u8(2).u8(0);  // p4: literal 2 (3)
  e.u32(2).u8(1);
  e.u8(0);  // list 0: RETURN without value
  e.u8(6).u8(3).u8(3).u8(4).u8(0).u8(2).u8(
      0);  // IF: left, op 3 (>), right, numbers, then 2, else 0
  e.u32(2);
  e.u16(1).u16(88).u8(1);  // script 1: the IF
  e.u16(1).u16(49).u8(0);  // script 2: the THEN block
  e.u16(3).u32(0x3FF00000).u32(0).u32(0x40000000).u32(0).u32(0x40080000).u32(0);
  e.u16(1).u16(0);                               // one number variable, no arrays
  e.u32(1).u8(1).u8(0).u8(4).u8(0).u8(1).u8(2);  // b = 1: signs + and \, terms p0 p1 p2
  e.u16(0).u16(0).u16(0);

  EXPECT_BYTES(w.bytes(), e.s);
}

TEST(GameWriterBytes, ParameterIndexWidthSwitchesAt257Parameters) {
  struct Case {
    uint32_t params;
    std::string listElement;
    std::string terms;
  };
  const Case cases[] = {
      {256, B().u8(0xFF).s, B().u8(0xFE).u8(0xFE).s},
      {257, B().u16(0x100).s, B().u16(0xFF).u16(0xFF).s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    GameWriter w;
    w.padParameters(c.params - 2);
    const Operand a = w.num(1.5);
    w.list({w.expr(a, '+', a)});

    B e;
    e.str(prefixWithoutCards());
    e.u32(c.params).u8(1).u8(1).zeros((c.params - 1) * 3).u8(6).u8(0).u8(0);
    e.u32(1).u8(1).u8(1).str(c.listElement);
    e.u32(0);
    e.u16(1).u32(0x3FF80000).u32(0).u16(0).u16(0);
    e.u32(1).u8(0).u8(0).str(c.terms);
    e.u16(0).u16(0).u16(0);
    EXPECT_BYTES(w.bytes(), e.s);
  }
}

TEST(GameWriterBytes, ListIndexAndCountWidths) {
  struct Case {
    uint32_t lists;
    uint32_t listIndex;
    std::string indexBytes;
  };
  const Case cases[] = {
      {256, 255, B().u8(0xFF).s},
      {257, 256, B().u16(0x100).s},
      {0, 7, B().u32(7).s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lists);
    GameWriter w;
    w.padLists(c.lists);
    w.script().cmdList(0, c.listIndex);

    B e;
    e.str(prefixWithoutCards());
    e.u32(0).u8(1).u8(1);
    e.u32(c.lists).u8(1).zeros(c.lists);
    e.u32(1).u16(1).u16(0).str(c.indexBytes);
    e.str(emptyTail());
    EXPECT_BYTES(w.bytes(), e.s);
  }

  // A list longer than 255 elements switches every count to 16 bits.
  GameWriter w;
  w.list(std::vector<Elem>(256, raw(0)));
  w.list({raw(9)});
  B e;
  e.str(prefixWithoutCards());
  e.u32(0).u8(1).u8(1);
  e.u32(2).u8(2).u16(256).zeros(256).u16(1).u8(9);
  e.u32(0).str(emptyTail());
  EXPECT_BYTES(w.bytes(), e.s);
}

TEST(GameWriterBytes, PoolValueAndPointerWidths) {
  GameWriter w;
  w.operand(OperandKind::NumArrayElement, 300, 70000);
  const std::string pools = B().u32(1).u8(2).u8(4).u8(4).u16(300).u32(70000).s;
  EXPECT_NE(w.bytes().find(pools), std::string::npos) << hex(w.bytes());

  w.ptrWidth = 0;  // absent: kind and value only
  const std::string noPtr = B().u32(1).u8(2).u8(0).u8(4).u16(300).u32(0).u8(1).s;
  EXPECT_NE(w.bytes().find(noPtr), std::string::npos) << hex(w.bytes());
}

// The companion files come back from Qt's own readers as written: the GIF encoder is ours, and
// its clear codes must keep a picture of more than 254 pixels decodable.
TEST(GameWriterBytes, CompanionFilesReadBack) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  GameWriter w;
  const auto pattern = [](int x, int y) {
    return x < 2 ? qRgba(0, 0, 0, 0) : qRgb(x * 10, (y % 4) * 40, 200);
  };
  w.addPng("red.png", 3, 2, Qt::red);
  w.addPicture("pat.gif", patternImage(20, 20, pattern));
  w.addPicture("pat.bmp", patternImage(20, 20, pattern));
  w.addPicture("blue.jpg", solidImage(16, 16, Qt::blue));
  w.addMask("mask.png", 4, 4, 128);
  w.addWav("tone.wav", 100);
  w.writeTo(dir.path());

  const QDir d(dir.path());
  EXPECT_TRUE(QFile::exists(d.filePath("quillmark.dat")));
  const QImage red(d.filePath("red.png"));
  EXPECT_EQ(red.size(), QSize(3, 2));
  EXPECT_EQ(red.pixel(2, 1), qRgb(255, 0, 0));
  for (const char* name : {"pat.gif", "pat.bmp"}) {
    SCOPED_TRACE(name);
    const QImage img(d.filePath(name));
    ASSERT_EQ(img.size(), QSize(20, 20));
    EXPECT_EQ(img.pixel(19, 13) & 0xFFFFFF, qRgb(190, 40, 200) & 0xFFFFFF);
  }
  EXPECT_EQ(qAlpha(QImage(d.filePath("pat.gif")).pixel(0, 5)), 0);
  const QImage blue(d.filePath("blue.jpg"));
  EXPECT_EQ(blue.size(), QSize(16, 16));
  EXPECT_GT(qBlue(blue.pixel(8, 8)), 240);
  EXPECT_EQ(QImage(d.filePath("mask.png")).pixel(3, 3), qRgb(128, 128, 128));

  QFile wav(d.filePath("tone.wav"));
  ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
  const QByteArray b = wav.readAll();
  // 100 ms at 22050 Hz: 2205 samples of 2 bytes after the 44-byte header.
  EXPECT_EQ(b.size(), 44 + 4410);
  EXPECT_EQ(b.left(4), "RIFF");
  EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
  EXPECT_EQ(b.mid(20, 4), QByteArray("\x01\x00\x01\x00", 4));  // PCM, mono
  EXPECT_EQ(b.mid(34, 2), QByteArray("\x10\x00", 2));          // 16 bits
}

}  // namespace
}  // namespace qm::test
