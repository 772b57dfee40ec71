#pragma once
// Builds quillmark.dat games in code for tests and samples. The writer follows the file layout
// byte for byte, including the index-width rules, and offers overrides for every count and width
// so that tests can also build broken files on purpose.
//
//   GameWriter w;
//   w.addCard().CompiledScripts[CardOpen] = w.script([&](Script& s) {
//     s.SetNumberVariable("score", w.num(10));
//     s.cmd(Cmd::PrintText, {w.text("Hello")});
//   });
//   w.writeTo(dir.path());
//
// Operands, lists, scripts and literals are appended to the pools in call order, so the indexes a
// test sees are stable and easy to predict. C++ does not fix the order in which the arguments of
// one call run, so a test that checks indexes creates its operands in separate statements.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <concepts>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "data/GameGlobals.h"
#include "data/ScriptRecords.h"

namespace qm::test {

class GameWriter;
class Script;

// A parameter index: one operand in the pools.
struct Operand {
  explicit Operand(uint32_t i) : index(i) {}
  uint32_t index;
};

// A raw list element: a script index, a variable index, an operator code, a flag.
struct Raw {
  uint32_t value;
};
template <typename T>
requires std::is_integral_v<T> || std::is_enum_v<T>
constexpr Raw raw(T v) {
  return Raw{static_cast<uint32_t>(v)};
}

// A command code or a function ID, given as a number or as any enum of codes (qm::Cmd, qm::NumFn,
// ...), so the writer does not depend on the code tables.
struct Code {
  Code(uint32_t v) : value(v) {}
  template <typename E>
  requires std::is_enum_v<E> Code(E e) : value(static_cast<uint32_t>(e)) {}
  uint32_t value;
};

// A method of the game: its index in Methods (from 1).
struct MethodRef {
  uint32_t index = 0;
};

// A parameter list: its index in ParameterLists.
struct ListRef {
  uint32_t index = 0;
};

// Operator codes of arithmetic expressions.
enum class MathOp : uint8_t { Add = 0, Subtract = 1, Multiply = 2, Divide = 3, IntDivide = 4 };

// Comparison operators of If.
enum class Cmp : uint32_t { Ne = 1, Eq = 2, Gt = 3, Lt = 4, Ge = 5, Le = 6 };

// An If operator: Cmp, a raw code, or one of "<>" "!=" "=" "==" ">" "<" ">=" "<=".
struct CmpOp {
  CmpOp(Cmp c) : code(static_cast<uint32_t>(c)) {}
  CmpOp(int c) : code(static_cast<uint32_t>(c)) {}
  CmpOp(const char* symbol);
  uint32_t code;
};

// One element of a parameter list: an operand's index or a raw value.
struct Elem {
  Elem(Operand o) : value(o.index) {}
  Elem(Raw r) : value(r.value) {}
  Elem(const Script& s);  // the script's index, raw
  Elem(MethodRef m) : value(m.index) {}
  uint32_t value;
};

// A number variable named for a command that takes a raw variable index (FOR, SetNumberVariable).
struct VarRef {
  VarRef(const char* n) : name(n) {}
  VarRef(std::string n) : name(std::move(n)) {}
  VarRef(Raw r) : index(r.value) {}
  std::string name;
  std::optional<uint32_t> index;
};

using BlockFn = std::function<void(Script&)>;

// A nested block (THEN, ELSE, a case, a loop body, a method body): none (script 0), an existing
// script, a raw script index, or a lambda that fills a new script when the command is written.
class Block {
 public:
  Block() = default;
  Block(const Script& s);
  Block(uint32_t scriptIndex) : index_(scriptIndex) {}
  template <typename F>
  requires std::invocable<F&, Script&> &&(!std::same_as<std::decay_t<F>, Script>)Block(F f)
      : fn_(std::move(f)) {}

  // The script index, creating the script if the block is a lambda.
  uint32_t resolve(GameWriter& w) const;

 private:
  std::optional<uint32_t> index_;
  BlockFn fn_;
};

// A script under construction; a handle to a script held by its writer. The writer must outlive
// it. Converts to the script's index, so it can be stored in slots directly.
class Script {
 public:
  Script(GameWriter& w, uint32_t index) : w_(&w), index_(index) {}
  uint32_t index() const { return index_; }
  operator uint32_t() const { return index_; }
  GameWriter& writer() const { return *w_; }

  // Any command: a new parameter list with these elements.
  Script& cmd(Code code, std::initializer_list<Elem> list = {});
  Script& cmd(Code code, const std::vector<Elem>& list);
  // A command with an existing (or out-of-range) list index.
  Script& cmdList(Code code, uint32_t listIndex);
  Script& cmdList(Code code, ListRef list) { return cmdList(code, list.index); }

  // IF on numbers (kind 0) or texts (kind 2); code 88. Without an else block the list has upper
  // bound 4; with one it has upper bound 5.
  Script& If(Operand a, CmpOp op, Operand b, Block then, std::optional<Block> otherwise = {});
  Script& IfText(Operand a, CmpOp op, Operand b, Block then, std::optional<Block> otherwise = {});

  struct Case {
    Operand value;
    Block body;
  };
  // SELECT on a number (kind 0) or a text (kind 1); a default block makes the upper bound even.
  Script& Select(Operand selector, std::vector<Case> cases, std::optional<Block> otherwise = {});
  Script& SelectText(Operand selector, std::vector<Case> cases,
                     std::optional<Block> otherwise = {});

  Script& Return();
  Script& Return(Operand value);
  // FOR var = from TO to: the variable is a raw number-variable index.
  Script& For(VarRef var, Operand from, Operand to, Block body);
  // Code 75: NumberVariables(var) = value.
  Script& SetNumberVariable(VarRef var, Operand value);
  // Codes 3 and 2: assignment to a target operand.
  Script& SetNumber(Operand target, Operand value);
  Script& SetString(Operand target, Operand value);
  // Code 121 + method index, with the arguments as the list.
  Script& CallMethod(MethodRef m, std::initializer_list<Operand> args = {});
  Script& CallMethod(MethodRef m, const std::vector<Operand>& args);

 private:
  GameWriter* w_;
  uint32_t index_;
};

struct Button {
  std::optional<std::string> rawRecord;  // written instead of the fields below
  bool Enabled = true;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool DoTheMenu = false;
  bool Visible = true;
  uint8_t unusedFlags = 0;  // OR-ed into the flags byte (0x02, 0x01)
  std::string Caption;
  uint32_t CompiledScript = 0;
  uint16_t GoToCard = 0;
  uint8_t Domenu = 0;
  bool SoundWaitFinished = false;
  bool soundlooping = false;
  uint8_t unusedFlags2 = 0;              // OR-ed into flags 2 (0x20, low four bits)
  std::optional<std::string> PlaySound;  // when set, flags 2 gets 0x10 and the name follows
};

struct ClickArea {
  std::optional<std::string> rawRecord;  // written instead of the fields below
  bool enabled = true;
  bool SoundWaitFinished = false;
  bool dothemenu = false;
  bool Invert = false;
  bool DoOnDown = false;
  bool soundlooping = false;
  uint8_t unusedFlags = 0;      // OR-ed into the flags byte (0x10, 0x08)
  uint8_t unusedByte = 0;       // byte 1
  uint32_t CompiledScript = 0;  // written as u24
  std::string playSound;
  uint16_t left = 0;
  uint16_t top = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t gotocard = 0;
  uint8_t domenu = 0;
};

struct Card {
  std::optional<std::string> rawRecord;  // written instead of the fields below
  std::optional<uint8_t> NumButtons;     // the 4-bit count in the flags; default Buttons.size()
  bool FramePict = false;
  bool FrameTxt = false;
  bool DoPlaySound = false;
  bool WidePicture = false;
  std::string RTFText;
  std::optional<uint8_t> K;  // slot upper bound; default 17. Slots past the vector are written 0
  std::vector<uint32_t> CompiledScripts = std::vector<uint32_t>(kCardSlotCount, 0);
  std::string PictureFile;
  uint32_t BGColor = 0x000000;            // 0xRRGGBB
  std::vector<Button> Buttons;            // written as Buttons(1) ...
  std::optional<uint8_t> ClickAreaCount;  // the n byte; default ClickAreas.size()
  std::vector<ClickArea> ClickAreas;
  bool SoundWaitFinished = false;
  bool SoundLooping = false;
  uint8_t PaintBehavior = 0;  // 0..3
  uint8_t unusedFlags2 = 0;   // OR-ed into flags 2 (low four bits)
  std::string PlaySound;

  Button& addButton(std::string caption, uint16_t goToCard = 0);
  ClickArea& addClickArea(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                          uint16_t gotocard = 0);
};

struct Sprite {
  std::string Name;
  bool scrambled = false;
  uint16_t key = 0;
  std::string pictureFile;
  std::string maskFile;
};

struct Sound {
  std::string name;
  std::string file;
};

struct Method {
  std::string Name;
  std::vector<uint32_t> ParamsArr;  // parameter indexes of the formal parameters
  uint8_t ReturnType = 0;
  uint32_t compiledScript = 0;
};

struct MenuItem {
  std::string text;
  std::string shortcut;
  uint32_t reserved = 0;
  uint32_t compiledScript = 0;
};

// Record encoders, exposed so tests can start from a valid record and break it.
std::string encodeButton(const Button& b);
std::string encodeClickArea(const ClickArea& c);
std::string encodeCard(const Card& c);

class GameWriter {
 public:
  GameWriter() = default;
  // Script handles point at their writer.
  GameWriter(const GameWriter&) = delete;
  GameWriter& operator=(const GameWriter&) = delete;

  // ---- Settings (the settings record) ----
  std::optional<uint16_t> numcards;  // default: the number of cards added
  std::string thegamename = "Test Game";
  bool HideDesk = false;
  bool Centered = false;
  bool Fullscreen = false;
  std::string AboutTXT;
  uint8_t WindowSize = 0;
  uint16_t begincard = 1;
  bool HasNewMenu = false;
  bool HasOpenSaveMenus = false;
  bool HasGameMenu = false;
  std::string GameMenuName;
  bool hidetitlebar = false;
  bool hidemenubar = false;
  std::string settingsTrailer;                   // bytes after field 14
  std::optional<std::string> rawSettingsRecord;  // replaces the whole record

  // ---- Global script slots: G = size - 1 (1 to 256 slots) ----
  std::vector<uint32_t> CompiledGlobalScripts = std::vector<uint32_t>(kGlobalSlotCount, 0);

  // ---- Operands: each call appends parameters and returns the last one ----
  Operand num(double v);
  Operand text(std::string s);
  Operand numVar(const std::string& name);
  Operand textVar(const std::string& name);
  uint32_t numVarIndex(const std::string& name);   // allocated on first use
  uint32_t textVarIndex(const std::string& name);  // allocated on first use
  // Array elements by array name; the element number is an operand (1-based at run time).
  Operand numElem(const std::string& array, Operand elementNumber);
  Operand textElem(const std::string& array, Operand elementNumber);
  // Whole-array operands: kind 17 for number arrays; text arrays use kind 16 (anything but 17).
  Operand numArrayRef(const std::string& array);
  Operand textArrayRef(const std::string& array);
  uint32_t numArrayIndex(const std::string& array);
  uint32_t textArrayIndex(const std::string& array);
  // Functions: no args (kinds 2/12), one arg (kinds 3/13, ptr = the arg), or an argument list
  // (ptr = a new ArgumentList operand).
  Operand numFn(Code id);
  Operand numFn(Code id, Operand arg);
  Operand numFn(Code id, std::initializer_list<Operand> args);
  Operand numFn(Code id, const std::vector<Operand>& args);
  Operand textFn(Code id);
  Operand textFn(Code id, Operand arg);
  Operand textFn(Code id, std::initializer_list<Operand> args);
  Operand textFn(Code id, const std::vector<Operand>& args);
  // Method calls: no args (kinds 7/15), one arg or an argument list (kinds 5/14).
  Operand numMethod(MethodRef m);
  Operand numMethod(MethodRef m, Operand arg);
  Operand numMethod(MethodRef m, std::initializer_list<Operand> args);
  Operand numMethod(MethodRef m, const std::vector<Operand>& args);
  Operand textMethod(MethodRef m);
  Operand textMethod(MethodRef m, Operand arg);
  Operand textMethod(MethodRef m, std::initializer_list<Operand> args);
  Operand textMethod(MethodRef m, const std::vector<Operand>& args);
  // Arithmetic, left to right: expr(a, '+', b, '*', c). Operators are '+', '-', '*', '/', '\\'
  // (integer division), MathOp values or raw int codes.
  template <typename... Rest>
  Operand expr(Operand first, Rest... rest) {
    static_assert(sizeof...(Rest) >= 2 && sizeof...(Rest) % 2 == 0,
                  "expr takes a term, then operator/term pairs");
    std::vector<Operand> terms{first};
    std::vector<uint8_t> signs;
    collect(terms, signs, rest...);
    return exprCodes(terms, signs);
  }
  Operand exprCodes(const std::vector<Operand>& terms, const std::vector<uint8_t>& signs);
  Operand concat(const std::vector<Operand>& parts);
  Operand args(const std::vector<Operand>& parts);
  // Any kind, value and pointer, unchecked.
  Operand operand(uint8_t kind, uint32_t value, uint32_t ptr = 0);
  Operand operand(OperandKind kind, uint32_t value, uint32_t ptr = 0) {
    return operand(static_cast<uint8_t>(kind), value, ptr);
  }
  // A parameter list with raw elements, for lists commands or operands share.
  ListRef list(const std::vector<Elem>& elems);

  // ---- Scripts: GameScripts(1) ... in creation order ----
  Script script();
  Script script(const BlockFn& fill);
  Script scriptAt(uint32_t index);

  // ---- Cards, library, methods, menu ----
  Card& addCard();  // the card's number is cardCount() afterwards
  Card& addRawCard(std::string record);
  Card& card(uint32_t number);  // from 1
  uint32_t cardCount() const { return uint32_t(cards_.size()); }
  Sprite& addSprite(std::string name, std::string pictureFile, std::string maskFile = {});
  Sound& addSound(std::string name, std::string file);
  // The method exists before its body is built; a recursive body can use methodCount() as its
  // own index, or the body can be set later with setMethodBody.
  MethodRef addMethod(std::string name, std::vector<Operand> params, Block body = {},
                      uint8_t returnType = 0);
  void setMethodBody(MethodRef m, Block body);
  Method& method(MethodRef m);
  uint32_t methodCount() const { return uint32_t(methods_.size()); }
  MenuItem& addMenuItem(std::string text, std::string shortcut = {}, Block script = {});

  // ---- Pool widths and counts ----
  std::optional<uint8_t> valueWidth;            // vw byte; default smallest of 1/2/4 that fits
  std::optional<uint8_t> ptrWidth;              // pw byte; 0 (or any non 1/2/4) means absent
  std::optional<uint8_t> listCountWidth;        // default 2 if a list has more than 255 elements
  std::optional<int> forceParamIndexWidth;      // write list elements and terms at another width
  std::optional<int> forceListIndexWidth;       // write script list indexes at another width
  std::optional<uint16_t> numberVariableCount;  // defaults: the names allocated
  std::optional<uint16_t> numberArrayCount;
  std::optional<uint16_t> stringVariableCount;
  std::optional<uint16_t> stringArrayCount;
  std::string trailer;  // bytes after section 18

  // Extra unused parameters (kind 0, value 0) and empty lists, to reach width thresholds.
  void padParameters(uint32_t n);
  void padLists(uint32_t n);
  uint32_t parameterCount() const { return uint32_t(params_.size()); }
  uint32_t listCount() const { return uint32_t(lists_.size()); }
  uint32_t scriptCount() const { return uint32_t(scripts_.size()); }
  // The widths bytes() uses (after overrides).
  int parameterIndexWidth() const;
  int listIndexWidth() const;
  int effectiveValueWidth() const;
  int effectivePtrWidth() const;
  int effectiveListCountWidth() const;

  // ---- Output ----
  std::string settingsRecord() const;
  std::string bytes() const;
  // Writes quillmark.dat and the companion files into the folder (created if needed).
  void writeTo(const QString& folder) const;

  // ---- Companion files written by writeTo ----
  void addPng(const QString& name, int width, int height, const QColor& colour);
  // Format from the name's suffix: png, bmp, gif, jpg/jpeg.
  void addPicture(const QString& name, const QImage& image);
  // A grey mask (black opaque, white transparent) of one grey level, as PNG.
  void addMask(const QString& name, int width, int height, int grey);
  void addWav(const QString& name, int milliseconds, double frequency = 440.0);
  void addFile(const QString& name, const QByteArray& bytes);

 private:
  friend class Script;
  struct Param {
    uint8_t kind;
    uint32_t value;
    uint32_t ptr;
  };
  struct Command {
    uint16_t code;
    uint32_t list;
  };
  struct Expression {
    std::vector<uint8_t> signs;
    std::vector<uint32_t> terms;
  };

  static uint8_t opCode(char symbol);
  static uint8_t opCode(MathOp op) { return static_cast<uint8_t>(op); }
  static uint8_t opCode(int code) { return static_cast<uint8_t>(code); }
  void collect(std::vector<Operand>&, std::vector<uint8_t>&) {}
  template <typename Op, typename... Rest>
  void collect(std::vector<Operand>& terms, std::vector<uint8_t>& signs, Op op, Operand t,
               Rest... rest) {
    signs.push_back(opCode(op));
    terms.push_back(t);
    collect(terms, signs, rest...);
  }
  Operand call(OperandKind kind, uint32_t id, const std::vector<Operand>& args);
  uint32_t addList(std::vector<uint32_t> elems);
  void addCommand(uint32_t script, uint16_t code, uint32_t list);
  static uint32_t nameIndex(std::map<std::string, uint32_t>& names, const std::string& name);
  std::string cardEntries() const;

  std::vector<Param> params_;
  std::vector<std::vector<uint32_t>> lists_;
  std::vector<std::vector<Command>> scripts_;  // GameScripts(1) is scripts_[0]
  std::vector<double> numberLiterals_;
  std::vector<std::string> stringLiterals_;
  std::vector<Expression> expressions_;
  std::map<std::string, uint32_t> numVars_, textVars_, numArrays_, textArrays_;
  std::deque<Card> cards_;
  std::deque<Sprite> sprites_;
  std::deque<Sound> sounds_;
  std::deque<Method> methods_;
  std::deque<MenuItem> menuItems_;
  std::vector<std::pair<QString, QByteArray>> files_;
};

}  // namespace qm::test
