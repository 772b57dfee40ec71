#include "testsupport/GameWriter.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <stdexcept>

#include "testsupport/CompanionFiles.h"

namespace qm::test {

namespace {

// Command codes the structured helpers write.
constexpr uint16_t kSetString = 2;
constexpr uint16_t kSetNumber = 3;
constexpr uint16_t kSelect = 19;
constexpr uint16_t kReturn = 49;
constexpr uint16_t kSetNumberVariable = 75;
constexpr uint16_t kFor = 86;
constexpr uint16_t kIf = 88;
constexpr uint16_t kFirstMethodCall = 121;

[[noreturn]] void tooBig(const std::string& what) {
  throw std::invalid_argument("GameWriter: " + what + " does not fit its field");
}

// Big-endian output, as the whole file is.
class Out {
 public:
  void u8(uint32_t v) { s_.push_back(char(v & 0xFF)); }
  void u16(uint32_t v) {
    u8(v >> 8);
    u8(v);
  }
  void u24(uint32_t v) {
    u8(v >> 16);
    u16(v);
  }
  void u32(uint32_t v) {
    u16(v >> 16);
    u16(v);
  }
  void f64(double d) {
    const auto bits = std::bit_cast<uint64_t>(d);
    u32(uint32_t(bits >> 32));
    u32(uint32_t(bits));
  }
  // An index or value in 1, 2 or 4 bytes; any other width writes nothing.
  void width(int w, uint32_t v) {
    if (w == 1)
      u8(v);
    else if (w == 2)
      u16(v);
    else if (w == 4)
      u32(v);
  }
  void pstr(const std::string& t, const char* what) {
    if (t.size() > 255) tooBig(what);
    u8(uint32_t(t.size()));
    bytes(t);
  }
  void flagChar(bool b) { s_.push_back(b ? '1' : '0'); }
  void bytes(const std::string& b) { s_ += b; }
  std::string& str() { return s_; }

 private:
  std::string s_;
};

uint16_t count16(size_t n, const char* what) {
  if (n > 0xFFFF) tooBig(what);
  return uint16_t(n);
}

int widthFor(uint32_t maxValue) {
  if (maxValue <= 0xFF) return 1;
  if (maxValue <= 0xFFFF) return 2;
  return 4;
}

std::vector<uint32_t> indexes(const std::vector<Operand>& ops) {
  std::vector<uint32_t> v;
  v.reserve(ops.size());
  for (const Operand& o : ops) v.push_back(o.index);
  return v;
}

std::vector<Elem> elems(const std::vector<Operand>& ops) {
  return std::vector<Elem>(ops.begin(), ops.end());
}

}  // namespace

// ---- Small types ----

CmpOp::CmpOp(const char* symbol) {
  const std::string s = symbol;
  if (s == "<>" || s == "!=")
    code = 1;
  else if (s == "=" || s == "==")
    code = 2;
  else if (s == ">")
    code = 3;
  else if (s == "<")
    code = 4;
  else if (s == ">=")
    code = 5;
  else if (s == "<=")
    code = 6;
  else
    throw std::invalid_argument("GameWriter: unknown comparison " + s);
}

Elem::Elem(const Script& s) : value(s.index()) {}

Block::Block(const Script& s) : index_(s.index()) {}

uint32_t Block::resolve(GameWriter& w) const {
  if (index_) return *index_;
  if (fn_) return w.script(fn_).index();
  return 0;
}

Button& Card::addButton(std::string caption, uint16_t goToCard) {
  Button& b = Buttons.emplace_back();
  b.Caption = std::move(caption);
  b.GoToCard = goToCard;
  return b;
}

ClickArea& Card::addClickArea(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                              uint16_t gotocard) {
  ClickArea& c = ClickAreas.emplace_back();
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.gotocard = gotocard;
  return c;
}

// ---- Script ----

Script& Script::cmd(Code code, std::initializer_list<Elem> list) {
  return cmd(code, std::vector<Elem>(list));
}

Script& Script::cmd(Code code, const std::vector<Elem>& list) {
  return cmdList(code, w_->list(list));
}

Script& Script::cmdList(Code code, uint32_t listIndex) {
  if (code.value > 0xFFFF) tooBig("command code");
  w_->addCommand(index_, uint16_t(code.value), listIndex);
  return *this;
}

static Script& writeIf(Script& s, uint32_t kind, Operand a, CmpOp op, Operand b, const Block& then,
                       const std::optional<Block>& otherwise) {
  GameWriter& w = s.writer();
  std::vector<Elem> list{a, raw(op.code), b, raw(kind), raw(then.resolve(w))};
  if (otherwise) list.push_back(raw(otherwise->resolve(w)));
  return s.cmd(kIf, list);
}

Script& Script::If(Operand a, CmpOp op, Operand b, Block then, std::optional<Block> otherwise) {
  return writeIf(*this, 0, a, op, b, then, otherwise);
}

Script& Script::IfText(Operand a, CmpOp op, Operand b, Block then, std::optional<Block> otherwise) {
  return writeIf(*this, 2, a, op, b, then, otherwise);
}

static Script& writeSelect(Script& s, uint32_t kind, Operand selector,
                           const std::vector<Script::Case>& cases,
                           const std::optional<Block>& otherwise) {
  GameWriter& w = s.writer();
  std::vector<Elem> list{selector, raw(kind)};
  for (const Script::Case& c : cases) {
    list.push_back(c.value);
    list.push_back(raw(c.body.resolve(w)));
  }
  if (otherwise) list.push_back(raw(otherwise->resolve(w)));
  return s.cmd(kSelect, list);
}

Script& Script::Select(Operand selector, std::vector<Case> cases, std::optional<Block> otherwise) {
  return writeSelect(*this, 0, selector, cases, otherwise);
}

Script& Script::SelectText(Operand selector, std::vector<Case> cases,
                           std::optional<Block> otherwise) {
  return writeSelect(*this, 1, selector, cases, otherwise);
}

Script& Script::Return() {
  return cmd(kReturn, {});
}

Script& Script::Return(Operand value) {
  return cmd(kReturn, {value});
}

static uint32_t varIndex(GameWriter& w, const VarRef& v) {
  return v.index ? *v.index : w.numVarIndex(v.name);
}

Script& Script::For(VarRef var, Operand from, Operand to, Block body) {
  const uint32_t v = varIndex(*w_, var);
  const uint32_t b = body.resolve(*w_);
  return cmd(kFor, {raw(v), from, to, raw(b)});
}

Script& Script::SetNumberVariable(VarRef var, Operand value) {
  return cmd(kSetNumberVariable, {raw(varIndex(*w_, var)), value});
}

Script& Script::SetNumber(Operand target, Operand value) {
  return cmd(kSetNumber, {target, value});
}

Script& Script::SetString(Operand target, Operand value) {
  return cmd(kSetString, {target, value});
}

Script& Script::CallMethod(MethodRef m, std::initializer_list<Operand> args) {
  return CallMethod(m, std::vector<Operand>(args));
}

Script& Script::CallMethod(MethodRef m, const std::vector<Operand>& args) {
  return cmd(kFirstMethodCall + m.index, elems(args));
}

// ---- Operands ----

Operand GameWriter::operand(uint8_t kind, uint32_t value, uint32_t ptr) {
  params_.push_back({kind, value, ptr});
  return Operand(uint32_t(params_.size() - 1));
}

uint32_t GameWriter::nameIndex(std::map<std::string, uint32_t>& names, const std::string& name) {
  auto [it, added] = names.try_emplace(name, uint32_t(names.size()));
  (void)added;
  return it->second;
}

Operand GameWriter::num(double v) {
  numberLiterals_.push_back(v);
  return operand(OperandKind::NumLiteral, uint32_t(numberLiterals_.size() - 1));
}

Operand GameWriter::text(std::string s) {
  stringLiterals_.push_back(std::move(s));
  return operand(OperandKind::StrLiteral, uint32_t(stringLiterals_.size() - 1));
}

uint32_t GameWriter::numVarIndex(const std::string& name) {
  return nameIndex(numVars_, name);
}
uint32_t GameWriter::textVarIndex(const std::string& name) {
  return nameIndex(textVars_, name);
}
uint32_t GameWriter::numArrayIndex(const std::string& a) {
  return nameIndex(numArrays_, a);
}
uint32_t GameWriter::textArrayIndex(const std::string& a) {
  return nameIndex(textArrays_, a);
}

Operand GameWriter::numVar(const std::string& name) {
  return operand(OperandKind::NumVariable, numVarIndex(name));
}

Operand GameWriter::textVar(const std::string& name) {
  return operand(OperandKind::StrVariable, textVarIndex(name));
}

Operand GameWriter::numElem(const std::string& array, Operand elementNumber) {
  return operand(OperandKind::NumArrayElement, numArrayIndex(array), elementNumber.index);
}

Operand GameWriter::textElem(const std::string& array, Operand elementNumber) {
  return operand(OperandKind::StrArrayElement, textArrayIndex(array), elementNumber.index);
}

Operand GameWriter::numArrayRef(const std::string& array) {
  return operand(OperandKind::NumArrayRef, numArrayIndex(array));
}

Operand GameWriter::textArrayRef(const std::string& array) {
  return operand(OperandKind::StrArrayElement, textArrayIndex(array));
}

Operand GameWriter::call(OperandKind kind, uint32_t id, const std::vector<Operand>& arguments) {
  return operand(kind, id, args(arguments).index);
}

Operand GameWriter::numFn(Code id) {
  return operand(OperandKind::NumFunction, id.value);
}
Operand GameWriter::numFn(Code id, Operand arg) {
  return operand(OperandKind::NumFunctionCall, id.value, arg.index);
}
Operand GameWriter::numFn(Code id, std::initializer_list<Operand> a) {
  return call(OperandKind::NumFunctionCall, id.value, a);
}
Operand GameWriter::numFn(Code id, const std::vector<Operand>& a) {
  return call(OperandKind::NumFunctionCall, id.value, a);
}

Operand GameWriter::textFn(Code id) {
  return operand(OperandKind::StrFunction, id.value);
}
Operand GameWriter::textFn(Code id, Operand arg) {
  return operand(OperandKind::StrFunctionCall, id.value, arg.index);
}
Operand GameWriter::textFn(Code id, std::initializer_list<Operand> a) {
  return call(OperandKind::StrFunctionCall, id.value, a);
}
Operand GameWriter::textFn(Code id, const std::vector<Operand>& a) {
  return call(OperandKind::StrFunctionCall, id.value, a);
}

Operand GameWriter::numMethod(MethodRef m) {
  return operand(OperandKind::NumMethod, m.index);
}
Operand GameWriter::numMethod(MethodRef m, Operand arg) {
  return operand(OperandKind::NumMethodCall, m.index, arg.index);
}
Operand GameWriter::numMethod(MethodRef m, std::initializer_list<Operand> a) {
  return call(OperandKind::NumMethodCall, m.index, a);
}
Operand GameWriter::numMethod(MethodRef m, const std::vector<Operand>& a) {
  return call(OperandKind::NumMethodCall, m.index, a);
}

Operand GameWriter::textMethod(MethodRef m) {
  return operand(OperandKind::StrMethod, m.index);
}
Operand GameWriter::textMethod(MethodRef m, Operand arg) {
  return operand(OperandKind::StrMethodCall, m.index, arg.index);
}
Operand GameWriter::textMethod(MethodRef m, std::initializer_list<Operand> a) {
  return call(OperandKind::StrMethodCall, m.index, a);
}
Operand GameWriter::textMethod(MethodRef m, const std::vector<Operand>& a) {
  return call(OperandKind::StrMethodCall, m.index, a);
}

uint8_t GameWriter::opCode(char symbol) {
  switch (symbol) {
    case '+': return 0;
    case '-': return 1;
    case '*': return 2;
    case '/': return 3;
    case '\\': return 4;
    default: throw std::invalid_argument(std::string("GameWriter: unknown operator ") + symbol);
  }
}

Operand GameWriter::exprCodes(const std::vector<Operand>& terms,
                              const std::vector<uint8_t>& signs) {
  // The record stores the operator count minus one in a byte, so 1 to 256 operators.
  if (signs.empty() || signs.size() > 256 || terms.size() != signs.size() + 1)
    throw std::invalid_argument(
        "GameWriter: an expression needs 1 to 256 operators and one "
        "term more than operators");
  expressions_.push_back({signs, indexes(terms)});
  return operand(OperandKind::MathExpression, uint32_t(expressions_.size() - 1));
}

Operand GameWriter::concat(const std::vector<Operand>& parts) {
  const uint32_t l = addList(indexes(parts));
  return operand(OperandKind::StrConcatenation, l);
}

Operand GameWriter::args(const std::vector<Operand>& parts) {
  const uint32_t l = addList(indexes(parts));
  return operand(OperandKind::ArgumentList, l);
}

uint32_t GameWriter::addList(std::vector<uint32_t> elems) {
  lists_.push_back(std::move(elems));
  return uint32_t(lists_.size() - 1);
}

ListRef GameWriter::list(const std::vector<Elem>& elems) {
  std::vector<uint32_t> v;
  v.reserve(elems.size());
  for (const Elem& e : elems) v.push_back(e.value);
  return ListRef{addList(std::move(v))};
}

void GameWriter::padParameters(uint32_t n) {
  params_.insert(params_.end(), n, Param{0, 0, 0});
}

void GameWriter::padLists(uint32_t n) {
  lists_.insert(lists_.end(), n, {});
}

// ---- Scripts ----

Script GameWriter::script() {
  scripts_.emplace_back();
  return Script(*this, uint32_t(scripts_.size()));
}

Script GameWriter::script(const BlockFn& fill) {
  Script s = script();
  if (fill) fill(s);
  return s;
}

Script GameWriter::scriptAt(uint32_t index) {
  if (index == 0 || index > scripts_.size())
    throw std::out_of_range("GameWriter: no script " + std::to_string(index));
  return Script(*this, index);
}

void GameWriter::addCommand(uint32_t script, uint16_t code, uint32_t list) {
  scripts_.at(script - 1).push_back({code, list});
}

// ---- Cards, library, methods, menu ----

Card& GameWriter::addCard() {
  return cards_.emplace_back();
}

Card& GameWriter::addRawCard(std::string record) {
  Card& c = cards_.emplace_back();
  c.rawRecord = std::move(record);
  return c;
}

Card& GameWriter::card(uint32_t number) {
  if (number == 0 || number > cards_.size())
    throw std::out_of_range("GameWriter: no card " + std::to_string(number));
  return cards_[number - 1];
}

Sprite& GameWriter::addSprite(std::string name, std::string pictureFile, std::string maskFile) {
  return sprites_.emplace_back(
      Sprite{std::move(name), false, 0, std::move(pictureFile), std::move(maskFile)});
}

Sound& GameWriter::addSound(std::string name, std::string file) {
  return sounds_.emplace_back(Sound{std::move(name), std::move(file)});
}

MethodRef GameWriter::addMethod(std::string name, std::vector<Operand> params, Block body,
                                uint8_t returnType) {
  // The method exists before its body is built, so the body can call it.
  methods_.push_back(Method{std::move(name), indexes(params), returnType, 0});
  const MethodRef ref{uint32_t(methods_.size())};
  setMethodBody(ref, body);
  return ref;
}

void GameWriter::setMethodBody(MethodRef m, Block body) {
  const uint32_t script = body.resolve(*this);
  method(m).compiledScript = script;
}

Method& GameWriter::method(MethodRef m) {
  if (m.index == 0 || m.index > methods_.size())
    throw std::out_of_range("GameWriter: no method " + std::to_string(m.index));
  return methods_[m.index - 1];
}

MenuItem& GameWriter::addMenuItem(std::string text, std::string shortcut, Block script) {
  const uint32_t s = script.resolve(*this);
  return menuItems_.emplace_back(MenuItem{std::move(text), std::move(shortcut), 0, s});
}

// ---- Widths ----

int GameWriter::parameterIndexWidth() const {
  if (forceParamIndexWidth) return *forceParamIndexWidth;
  const int64_t upper = int64_t(params_.size()) - 1;
  if (upper >= 65536) return 4;
  if (upper >= 256) return 2;
  return 1;
}

int GameWriter::listIndexWidth() const {
  if (forceListIndexWidth) return *forceListIndexWidth;
  // The upper bound as an unsigned 32-bit number: an empty table wraps to the largest value.
  const uint32_t upper = uint32_t(lists_.size()) - 1;
  if (upper <= 255) return 1;
  if (upper <= 65535) return 2;
  return 4;
}

int GameWriter::effectiveValueWidth() const {
  if (valueWidth) return *valueWidth;
  uint32_t most = 0;
  for (const Param& p : params_) most = std::max(most, p.value);
  return widthFor(most);
}

int GameWriter::effectivePtrWidth() const {
  if (ptrWidth) return *ptrWidth;
  uint32_t most = 0;
  for (const Param& p : params_) most = std::max(most, p.ptr);
  return widthFor(most);
}

int GameWriter::effectiveListCountWidth() const {
  if (listCountWidth) return *listCountWidth;
  for (const auto& l : lists_)
    if (l.size() > 255) return 2;
  return 1;
}

// ---- Records ----

std::string encodeButton(const Button& b) {
  if (b.rawRecord) return *b.rawRecord;
  Out o;
  uint8_t flags = b.unusedFlags;
  if (b.Enabled) flags |= 0x80;
  if (b.Bold) flags |= 0x40;
  if (b.Italic) flags |= 0x20;
  if (b.Underline) flags |= 0x10;
  if (b.DoTheMenu) flags |= 0x08;
  if (b.Visible) flags |= 0x04;
  o.u8(flags);
  o.pstr(b.Caption, "button caption");
  o.u32(b.CompiledScript);
  o.u16(b.GoToCard);
  o.u8(b.Domenu);
  uint8_t flags2 = b.unusedFlags2;
  if (b.SoundWaitFinished) flags2 |= 0x80;
  if (b.soundlooping) flags2 |= 0x40;
  if (b.PlaySound) flags2 |= 0x10;
  o.u8(flags2);
  if (b.PlaySound) o.pstr(*b.PlaySound, "button sound name");
  return o.str();
}

std::string encodeClickArea(const ClickArea& c) {
  if (c.rawRecord) return *c.rawRecord;
  if (c.CompiledScript > 0xFFFFFF) tooBig("click-area script index");
  Out o;
  uint8_t flags = c.unusedFlags;
  if (c.enabled) flags |= 0x80;
  if (c.SoundWaitFinished) flags |= 0x40;
  if (c.dothemenu) flags |= 0x20;
  if (c.Invert) flags |= 0x04;
  if (c.DoOnDown) flags |= 0x02;
  if (c.soundlooping) flags |= 0x01;
  o.u8(flags);
  o.u8(c.unusedByte);
  o.u24(c.CompiledScript);
  o.pstr(c.playSound, "click-area sound name");
  o.u16(c.top);
  o.u16(c.left);
  o.u16(c.width);
  o.u16(c.height);
  o.u16(c.gotocard);
  o.u8(c.domenu);
  return o.str();
}

std::string encodeCard(const Card& c) {
  if (c.rawRecord) return *c.rawRecord;
  const size_t buttons = c.NumButtons ? *c.NumButtons : c.Buttons.size();
  if (buttons > 15) tooBig("button count");
  if (c.PaintBehavior > 3) tooBig("PaintBehavior");
  Out o;
  uint8_t flags = uint8_t(buttons << 4);
  if (c.FramePict) flags |= 0x08;
  if (c.FrameTxt) flags |= 0x04;
  if (c.DoPlaySound) flags |= 0x02;
  if (c.WidePicture) flags |= 0x01;
  o.u8(flags);
  o.u16(count16(c.RTFText.size(), "card text"));
  o.bytes(c.RTFText);
  const uint8_t k = c.K ? *c.K : uint8_t(kCardSlotCount - 1);
  o.u8(k);
  for (size_t i = 0; i <= k; ++i) o.u32(i < c.CompiledScripts.size() ? c.CompiledScripts[i] : 0);
  o.pstr(c.PictureFile, "card picture file");
  o.u8(c.BGColor >> 16);
  o.u8(c.BGColor >> 8);
  o.u8(c.BGColor);
  for (const Button& b : c.Buttons) {
    const std::string rec = encodeButton(b);
    o.u24(uint32_t(rec.size()));
    o.bytes(rec);
  }
  const size_t areas = c.ClickAreaCount ? *c.ClickAreaCount : c.ClickAreas.size();
  if (areas > 255) tooBig("click-area count");
  o.u8(uint32_t(areas));
  for (const ClickArea& a : c.ClickAreas) {
    const std::string rec = encodeClickArea(a);
    o.u24(uint32_t(rec.size()));
    o.bytes(rec);
  }
  uint8_t flags2 = uint8_t((c.PaintBehavior << 4) | c.unusedFlags2);
  if (c.SoundWaitFinished) flags2 |= 0x80;
  if (c.SoundLooping) flags2 |= 0x40;
  o.u8(flags2);
  o.pstr(c.PlaySound, "card sound name");
  return o.str();
}

// ---- Output ----

std::string GameWriter::settingsRecord() const {
  if (rawSettingsRecord) return *rawSettingsRecord;
  Out o;
  o.u16(numcards ? *numcards : count16(cards_.size(), "card count"));
  o.pstr(thegamename, "game name");
  o.flagChar(HideDesk);
  o.flagChar(Centered);
  o.flagChar(Fullscreen);
  o.pstr(AboutTXT, "about text");
  o.u8(WindowSize);
  o.u16(begincard);
  o.flagChar(HasNewMenu);
  o.flagChar(HasOpenSaveMenus);
  o.flagChar(HasGameMenu);
  o.pstr(GameMenuName, "game menu name");
  o.flagChar(hidetitlebar);
  o.flagChar(hidemenubar);
  o.bytes(settingsTrailer);
  return o.str();
}

std::string GameWriter::bytes() const {
  Out o;
  // 1: settings
  const std::string settings = settingsRecord();
  o.u16(count16(settings.size(), "settings record"));
  o.bytes(settings);
  // 3: global script slots, G = upper bound
  if (CompiledGlobalScripts.empty() || CompiledGlobalScripts.size() > 256)
    tooBig("global slot count");
  o.u8(uint32_t(CompiledGlobalScripts.size() - 1));
  for (uint32_t s : CompiledGlobalScripts) o.u32(s);
  // 4: sprites
  o.u16(count16(sprites_.size(), "sprite count"));
  for (const Sprite& s : sprites_) {
    o.pstr(s.Name, "sprite name");
    o.u8(s.scrambled ? 1 : 0);
    o.u16(s.key);
    o.pstr(s.pictureFile, "sprite picture file");
    o.pstr(s.maskFile, "sprite mask file");
  }
  // 5: sounds
  o.u16(count16(sounds_.size(), "sound count"));
  for (const Sound& s : sounds_) {
    o.pstr(s.name, "sound name");
    o.pstr(s.file, "sound file");
  }
  // 6: cards (their count is in the settings)
  for (const Card& c : cards_) {
    const std::string rec = encodeCard(c);
    o.u32(uint32_t(rec.size()));
    o.bytes(rec);
  }
  // 7: methods
  o.u16(count16(methods_.size(), "method count"));
  for (const Method& m : methods_) {
    o.pstr(m.Name, "method name");
    if (m.ParamsArr.size() > 255) tooBig("method parameter count");
    o.u8(uint32_t(m.ParamsArr.size()));
    for (uint32_t p : m.ParamsArr) o.u32(p);
    o.u8(m.ReturnType);
    o.u32(m.compiledScript);
  }
  // 8: game menu items
  if (menuItems_.size() > 255) tooBig("menu item count");
  o.u8(uint32_t(menuItems_.size()));
  for (const MenuItem& m : menuItems_) {
    o.pstr(m.text, "menu item text");
    o.pstr(m.shortcut, "menu item shortcut");
    o.u32(m.reserved);
    o.u32(m.compiledScript);
  }
  // 9: parameter pools
  const int vw = effectiveValueWidth();
  const int pw = effectivePtrWidth();
  o.u32(uint32_t(params_.size()));
  o.u8(uint32_t(vw));
  o.u8(uint32_t(pw));
  for (const Param& p : params_) {
    o.u8(p.kind);
    o.width(vw, p.value);
    o.width(pw, p.ptr);
  }
  // 10: parameter lists
  const int w = parameterIndexWidth();
  const int cw = effectiveListCountWidth();
  o.u32(uint32_t(lists_.size()));
  o.u8(uint32_t(cw));
  for (const auto& l : lists_) {
    if (cw == 2)
      o.u16(uint32_t(l.size()));
    else
      o.u8(uint32_t(l.size()));
    for (uint32_t e : l) o.width(w, e);
  }
  // 11: scripts
  const int lw = listIndexWidth();
  o.u32(uint32_t(scripts_.size()));
  for (const auto& s : scripts_) {
    o.u16(count16(s.size(), "command count"));
    for (const Command& c : s) {
      o.u16(c.code);
      o.width(lw, c.list);
    }
  }
  // 12 to 18: literals, variables, arrays, expressions
  o.u16(count16(numberLiterals_.size(), "number literal count"));
  for (double d : numberLiterals_) o.f64(d);
  o.u16(numberVariableCount ? *numberVariableCount
                            : count16(numVars_.size(), "number variable count"));
  o.u16(numberArrayCount ? *numberArrayCount : count16(numArrays_.size(), "number array count"));
  o.u32(uint32_t(expressions_.size()));
  for (const Expression& e : expressions_) {
    o.u8(uint32_t(e.signs.size() - 1));
    for (uint8_t s : e.signs) o.u8(s);
    for (uint32_t t : e.terms) o.width(w, t);
  }
  o.u16(count16(stringLiterals_.size(), "text literal count"));
  for (const std::string& s : stringLiterals_) {
    o.u16(count16(s.size(), "text literal"));
    o.bytes(s);
  }
  o.u16(stringVariableCount ? *stringVariableCount
                            : count16(textVars_.size(), "text variable count"));
  o.u16(stringArrayCount ? *stringArrayCount : count16(textArrays_.size(), "text array count"));
  o.bytes(trailer);
  return std::move(o.str());
}

void GameWriter::writeTo(const QString& folder) const {
  if (!QDir().mkpath(folder))
    throw std::runtime_error("GameWriter: cannot create " + folder.toStdString());
  const QDir dir(folder);
  const std::string data = bytes();
  writeFile(dir.filePath(QStringLiteral("quillmark.dat")),
            QByteArray(data.data(), qsizetype(data.size())));
  for (const auto& [name, content] : files_) writeFile(dir.filePath(name), content);
}

// ---- Companion files ----

void GameWriter::addFile(const QString& name, const QByteArray& bytes) {
  files_.emplace_back(name, bytes);
}

void GameWriter::addPicture(const QString& name, const QImage& image) {
  addFile(name, encodeImage(image, QFileInfo(name).suffix()));
}

void GameWriter::addPng(const QString& name, int width, int height, const QColor& colour) {
  addFile(name, encodeImage(solidImage(width, height, colour), QStringLiteral("png")));
}

void GameWriter::addMask(const QString& name, int width, int height, int grey) {
  addFile(name, encodeImage(greyMask(width, height, [grey](int, int) { return grey; }),
                            QStringLiteral("png")));
}

void GameWriter::addWav(const QString& name, int milliseconds, double frequency) {
  addFile(name, wavBytes(milliseconds, frequency));
}

}  // namespace qm::test
