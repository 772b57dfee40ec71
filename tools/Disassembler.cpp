#include "Disassembler.h"

#include <cstdio>
#include <span>

#include "interpreter/CommandTable.h"
#include "interpreter/FunctionTable.h"
#include "support/Conversions.h"
#include "support/FilePaths.h"

namespace qm::tools {

namespace {

// Nesting deeper than this (or a cycle in hostile data) is cut short in the listing.
constexpr int kMaxDepth = 24;

std::string quote(std::string_view s) {
  std::string r = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += char(c);
    } else if (c == '\r') {
      r += "\\r";
    } else if (c == '\n') {
      r += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      r += buf;
    } else {
      r += char(c);
    }
  }
  return r + "\"";
}

std::string bad(const char* what, uint64_t index) {
  return "<bad " + std::string(what) + " " + std::to_string(index) + ">";
}

template <typename T>
const T* at(const std::vector<T>& v, uint64_t i) {
  return i < v.size() ? &v[i] : nullptr;
}

const char* opSymbol(uint8_t op) {
  switch (op) {
  case 0: return "+";
  case 1: return "-";
  case 2: return "*";
  case 3: return "/";
  case 4: return "\\";
  default: return nullptr;
  }
}

class Describer {
public:
  explicit Describer(const GameGlobals& g) : g_(g) {}

  std::string operand(uint32_t p, int depth = 0) const {
    if (depth > kMaxDepth) return "...";
    if (p >= g_.ParamType.size()) return bad("parameter", p);
    const uint8_t kind = g_.ParamType[p];
    const uint32_t value = g_.ParamValue[p];
    const uint32_t ptr = g_.ParamPtr[p];
    switch (OperandKind(kind)) {
    case OperandKind::NumLiteral:
      if (auto* v = at(g_.NumberLiterals, value)) return GameMethods::GoodStr(*v);
      return bad("number literal", value);
    case OperandKind::NumVariable: return "num[" + std::to_string(value) + "]";
    case OperandKind::NumFunction: return function(value, false, false, 0, depth);
    case OperandKind::NumFunctionCall: return function(value, false, true, ptr, depth);
    case OperandKind::NumArrayElement:
      return "numarray[" + std::to_string(value) + "](" + operand(ptr, depth + 1) + ")";
    case OperandKind::NumMethodCall:
      return method(value) + "(" + arguments(ptr, depth) + ")";
    case OperandKind::MathExpression: return expression(value, depth);
    case OperandKind::NumMethod: return method(value) + "()";
    case OperandKind::ArgumentList: return "{" + list(value, depth) + "}";
    case OperandKind::StrLiteral:
      if (auto* s = at(g_.StringLiterals, value)) return quote(*s);
      return bad("text literal", value);
    case OperandKind::StrVariable: return "str[" + std::to_string(value) + "]";
    case OperandKind::StrConcatenation: {
      const QMParameters* l = at(g_.ParameterLists, value);
      if (!l) return bad("list", value);
      std::string r;
      for (size_t i = 0; i < l->list.size(); ++i)
        r += (i ? " & " : "") + operand(l->list[i], depth + 1);
      return "(" + r + ")";
    }
    case OperandKind::StrFunction: return function(value, true, false, 0, depth);
    case OperandKind::StrFunctionCall: return function(value, true, true, ptr, depth);
    case OperandKind::StrMethodCall:
      return method(value) + "$(" + arguments(ptr, depth) + ")";
    case OperandKind::StrMethod: return method(value) + "$()";
    case OperandKind::StrArrayElement:
      return "strarray[" + std::to_string(value) + "](" + operand(ptr, depth + 1) + ")";
    case OperandKind::NumArrayRef: return "numarray[" + std::to_string(value) + "]";
    }
    return "<kind " + std::to_string(kind) + " value " + std::to_string(value) + " ptr " +
           std::to_string(ptr) + ">";
  }

  // The elements of a parameter list, each as an operand.
  std::string list(uint32_t index, int depth) const {
    const QMParameters* l = at(g_.ParameterLists, index);
    if (!l) return bad("list", index);
    std::string r;
    for (size_t i = 0; i < l->list.size(); ++i)
      r += (i ? ", " : "") + operand(l->list[i], depth + 1);
    return r;
  }

  // A call's argument: an ArgumentList operand spreads into its elements.
  std::string arguments(uint32_t a, int depth) const {
    if (a < g_.ParamType.size() && g_.ParamType[a] == uint8_t(OperandKind::ArgumentList))
      return list(g_.ParamValue[a], depth + 1);
    return operand(a, depth + 1);
  }

  std::string method(uint32_t index) const {
    if (index == 0 || index >= g_.Methods.size() || !g_.Methods[index]) return bad("method", index);
    return g_.Methods[index]->Name;
  }

  std::string function(uint32_t id, bool text, bool withParams, uint32_t arg, int depth) const {
    const FunctionInfo* f = text ? findStrFunction(id, withParams) : findNumFunction(id, withParams);
    std::string name = f ? f->name : std::string(text ? "StrFn" : "NumFn") + "#" + std::to_string(id);
    if (!withParams) return name;
    return name + "(" + arguments(arg, depth) + ")";
  }

  std::string expression(uint32_t index, int depth) const {
    const QMMathExpression* e = at(g_.MathExpressions, index);
    if (!e) return bad("expression", index);
    std::string r = "(";
    for (size_t k = 0; k < e->vars.size(); ++k) {
      if (k) {
        const uint8_t op = k - 1 < e->signs.size() ? e->signs[k - 1] : 255;
        const char* sym = opSymbol(op);
        r += sym ? std::string(" ") + sym + " " : " op" + std::to_string(op) + " ";
      }
      r += operand(e->vars[k], depth + 1);
    }
    return r + ")";
  }

  // One list element as the command's shape says it is read.
  std::string element(char how, uint32_t v) const {
    switch (how) {
    case 'v': return "num[" + std::to_string(v) + "]";
    case 's': return "script " + std::to_string(v);
    case 'r': return "#" + std::to_string(v);
    case '@': return "-> " + operand(v);
    default: return operand(v);
    }
  }

  std::string command(uint16_t code, uint32_t listIndex) const {
    const QMParameters* l = at(g_.ParameterLists, listIndex);
    std::string head;
    const CommandInfo* info = findCommand(code);
    if (info) {
      head = info->name;
    } else if (code >= kFirstMethodCode) {
      const uint32_t m = code - kFirstMethodCode;
      head = "Call " + method(m);
      if (!l) return head + " " + bad("list", listIndex);
      std::string args;
      for (size_t i = 0; i < l->list.size(); ++i) args += (i ? ", " : "") + operand(l->list[i]);
      return head + "(" + args + ")";
    } else {
      head = "<no command " + std::to_string(code) + ">";
    }
    if (!l) return head + " " + bad("list", listIndex);
    const std::span<const uint32_t> items = l->list;
    if (items.empty()) return head;

    // Positions read by the shape; a trailing "(...)" group repeats.
    std::string fixed, repeat;
    if (info) {
      for (const char* c = info->shape; *c; ++c) {
        if (*c == '[' || *c == ']') continue;
        if (*c == '(') {
          for (++c; *c && *c != ')'; ++c) repeat += *c;
          break;
        }
        fixed += *c;
      }
    }
    auto how = [&](size_t i) -> char {
      if (i < fixed.size()) return fixed[i];
      if (!repeat.empty()) return repeat[(i - fixed.size()) % repeat.size()];
      return 'r';
    };
    if (info && info->group == HandlerGroup::If && items.size() >= 5) return ifCommand(head, items);
    std::string r = head;
    for (size_t i = 0; i < items.size(); ++i) {
      char h = how(i);
      // SELECT's default case: a script index in the last, even position.
      if (info && info->group == HandlerGroup::Select && i >= 2 && i + 1 == items.size() &&
          i % 2 == 0)
        h = 's';
      r += (i ? ", " : " ") + element(h, items[i]);
    }
    return r;
  }

private:
  // IF reads best as a condition: If num[1] > 5 (numbers) then script 3 else script 4.
  std::string ifCommand(const std::string& head, std::span<const uint32_t> items) const {
    static const char* const ops[] = {"op0", "<>", "=", ">", "<", ">=", "<="};
    const uint32_t op = items[1], kind = items[3];
    std::string r = head + " " + operand(items[0]) + " " +
                    (op < std::size(ops) ? ops[op] : "op" + std::to_string(op)) + " " +
                    operand(items[2]) + " (" +
                    (kind == 0 ? "numbers" : kind == 2 ? "texts" : "kind " + std::to_string(kind)) +
                    ") then script " + std::to_string(items[4]);
    if (items.size() == 6) r += " else script " + std::to_string(items[5]);
    for (size_t i = 6; i < items.size(); ++i) r += ", #" + std::to_string(items[i]);
    return r;
  }

  const GameGlobals& g_;
};

const char* yesNo(bool b) { return b ? "yes" : "no"; }

std::string hexColour(uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", rgb & 0xFFFFFF);
  return buf;
}

std::string fileState(const QString& folder, const std::string& name) {
  if (name.empty()) return "none";
  const bool found = pathExists(childPath(folder, name));
  return quote(name) + (found ? " (found)" : " (missing)");
}

void dumpScript(std::ostream& out, const Describer& d, const QMScript& s) {
  for (size_t i = 0; i < s.commands.size(); ++i) {
    const uint32_t listIndex = i < s.params.size() ? s.params[i] : 0;
    out << "    " << i << ": " << d.command(s.commands[i], listIndex) << "\n";
  }
}

} // namespace

std::string describeOperand(const GameGlobals& g, uint32_t p) { return Describer(g).operand(p); }

std::string describeCommand(const GameGlobals& g, uint16_t code, uint32_t listIndex) {
  return Describer(g).command(code, listIndex);
}

void dumpGame(std::ostream& out, const GameData& game) {
  const GameGlobals& g = game.globals;
  const Describer d(g);

  out << "Game " << quote(g.thegamename) << "\n";
  out << "Settings\n"
      << "  numcards: " << g.numcards << "\n"
      << "  begincard: " << g.begincard << "\n"
      << "  WindowSize: " << g.WindowSize << "\n"
      << "  HideDesk: " << yesNo(g.HideDesk) << "\n"
      << "  Centered: " << yesNo(g.Centered) << "\n"
      << "  Fullscreen: " << yesNo(g.Fullscreen) << "\n"
      << "  HasNewMenu: " << yesNo(g.HasNewMenu) << "\n"
      << "  HasOpenSaveMenus: " << yesNo(g.HasOpenSaveMenus) << "\n"
      << "  HasGameMenu: " << yesNo(g.HasGameMenu) << "\n"
      << "  GameMenuName: " << quote(g.GameMenuName) << "\n"
      << "  hidetitlebar: " << yesNo(g.hidetitlebar) << "\n"
      << "  hidemenubar: " << yesNo(g.hidemenubar) << "\n"
      << "  AboutTXT: " << quote(g.AboutTXT) << "\n";

  out << "Global scripts (" << g.CompiledGlobalScripts.size() << " slots)\n";
  for (size_t i = 0; i < g.CompiledGlobalScripts.size(); ++i) {
    if (!g.CompiledGlobalScripts[i]) continue;
    const char* where = globalSlotLocation(int(i));
    out << "  slot " << i << (*where ? std::string(" (") + where + ")" : std::string())
        << ": script " << g.CompiledGlobalScripts[i] << "\n";
  }

  out << "Sprites (" << game.Sprites.size() - 1 << ")\n";
  for (size_t i = 1; i < game.Sprites.size(); ++i) {
    const QMSprite& s = *game.Sprites[i];
    out << "  " << i << " " << quote(s.Name) << ": picture "
        << fileState(game.dataFolder, s.PictureFile);
    if (!s.MyPicture.isNull()) out << " " << s.MyPicture.width() << "x" << s.MyPicture.height();
    out << ", mask " << fileState(game.dataFolder, s.MaskFile)
        << ", scrambled " << yesNo(s.scrambled) << "\n";
  }

  out << "Sounds (" << game.Sounds.size() - 1 << ")\n";
  for (size_t i = 1; i < game.Sounds.size(); ++i) {
    const QMSound& s = *game.Sounds[i];
    out << "  " << i << " " << quote(s.name) << ": file " << fileState(game.dataFolder, s.fileName)
        << "\n";
  }

  out << "Cards (" << game.Cards.size() - 1 << ")\n";
  for (size_t c = 1; c < game.Cards.size(); ++c) {
    const QMCard& card = *game.Cards[c];
    out << "  Card " << c << "\n"
        << "    flags: buttons " << card.NumButtons << ", FramePict " << yesNo(card.FramePict)
        << ", FrameTxt " << yesNo(card.FrameTxt) << ", DoPlaySound " << yesNo(card.DoPlaySound)
        << ", WidePicture " << yesNo(card.WidePicture) << "\n"
        << "    text: " << card.RTFText.size() << " bytes\n"
        << "    picture: " << fileState(game.dataFolder, card.PictureFile) << "\n"
        << "    colour: " << hexColour(card.BGColor) << "\n"
        << "    sound: " << (card.PlaySound.empty() ? "none" : quote(card.PlaySound))
        << ", wait " << yesNo(card.SoundWaitFinished) << ", loop " << yesNo(card.SoundLooping)
        << "\n"
        << "    PaintBehavior: " << card.PaintBehavior << "\n";
    for (size_t s = 0; s < card.CompiledScripts.size(); ++s) {
      if (!card.CompiledScripts[s]) continue;
      const char* suffix = cardSlotSuffix(int(s));
      out << "    slot " << s << (*suffix ? std::string(" (") + (suffix + 2) + ")" : std::string())
          << ": script " << card.CompiledScripts[s] << "\n";
    }
    for (size_t b = 1; b <= 8; ++b) {
      const QMButton* bt = card.Buttons[b].get();
      if (!bt || (int64_t(b) > card.NumButtons && bt->Caption.empty())) continue;
      out << "    button " << b << " " << quote(bt->Caption) << ": enabled "
          << yesNo(bt->Enabled) << ", visible " << yesNo(bt->Visible) << ", style "
          << (bt->Bold ? "B" : "") << (bt->Italic ? "I" : "") << (bt->Underline ? "U" : "")
          << (bt->Bold || bt->Italic || bt->Underline ? "" : "plain") << ", script "
          << bt->CompiledScript << ", go to " << bt->GoToCard << ", menu "
          << (bt->DoTheMenu ? std::to_string(bt->Domenu) : std::string("none")) << ", sound "
          << (bt->PlaySound.empty() ? "none" : quote(bt->PlaySound)) << " wait "
          << yesNo(bt->SoundWaitFinished) << " loop " << yesNo(bt->soundlooping) << "\n";
    }
    for (size_t a = 1; a < card.ClickAreas.size(); ++a) {
      const QMClickArea& ca = *card.ClickAreas[a];
      out << "    click area " << a << ": left " << ca.left << " top " << ca.top << " width "
          << ca.width << " height " << ca.height << ", enabled " << yesNo(ca.enabled)
          << ", on " << (ca.DoOnDown ? "down" : "up") << ", invert " << yesNo(ca.Invert)
          << ", script " << ca.CompiledScript << ", go to " << ca.gotocard << ", menu "
          << (ca.dothemenu ? std::to_string(ca.domenu) : std::string("none")) << ", sound "
          << (ca.playSound.empty() ? "none" : quote(ca.playSound)) << " wait "
          << yesNo(ca.SoundWaitFinished) << " loop " << yesNo(ca.soundlooping) << "\n";
    }
  }

  out << "Methods (" << g.Methods.size() - 1 << ")\n";
  for (size_t m = 1; m < g.Methods.size(); ++m) {
    const QMMethod& meth = *g.Methods[m];
    out << "  " << m << " " << meth.Name << "(";
    for (size_t i = 0; i < meth.ParamsArr.size(); ++i)
      out << (i ? ", " : "") << d.operand(meth.ParamsArr[i]);
    out << "): return type " << meth.ReturnType << ", script " << meth.compiledScript << "\n";
  }

  out << "Game menu items (" << g.GameMenuItems.size() << ")\n";
  for (size_t i = 0; i < g.GameMenuItems.size(); ++i) {
    const QMGameMenuItem& item = g.GameMenuItems[i];
    out << "  " << i << " " << quote(item.text) << " shortcut " << quote(item.shortcut)
        << ": script " << item.compiledScript << "\n";
  }

  out << "Parameters (" << g.ParamType.size() << ")\n";
  for (size_t p = 0; p < g.ParamType.size(); ++p)
    out << "  p" << p << ": " << operandKindName(g.ParamType[p]) << " " << g.ParamValue[p] << " "
        << g.ParamPtr[p] << " = " << d.operand(uint32_t(p)) << "\n";

  out << "Parameter lists (" << g.ParameterLists.size() << ")\n";
  for (size_t l = 0; l < g.ParameterLists.size(); ++l) {
    out << "  L" << l << ": [";
    const auto& items = g.ParameterLists[l].list;
    for (size_t i = 0; i < items.size(); ++i) out << (i ? ", " : "") << items[i];
    out << "]\n";
  }

  out << "Number literals (" << g.NumberLiterals.size() << ")\n";
  for (size_t i = 0; i < g.NumberLiterals.size(); ++i)
    out << "  " << i << ": " << FormatNumber(g.NumberLiterals[i]) << "\n";
  out << "Text literals (" << g.StringLiterals.size() << ")\n";
  for (size_t i = 0; i < g.StringLiterals.size(); ++i)
    out << "  " << i << ": " << quote(g.StringLiterals[i]) << "\n";
  out << "Variables: " << g.NumberVariables.size() << " number, " << g.StringVariables.size()
      << " text; arrays: " << g.NumberArrays.size() << " number, " << g.StringArrays.size()
      << " text; expressions: " << g.MathExpressions.size() << "\n";

  out << "Scripts (" << (g.GameScripts.empty() ? 0 : g.GameScripts.size() - 1) << ")\n";
  for (size_t s = 1; s < g.GameScripts.size(); ++s) {
    out << "  Script " << s << " (" << g.GameScripts[s].commands.size() << " commands)\n";
    dumpScript(out, d, g.GameScripts[s]);
  }
}

} // namespace qm::tools
