#include "interpreter/CommandTable.h"

#include <array>
#include <cstddef>

namespace qm {

namespace {

constexpr CommandInfo kCommands[] = {
#define QM_COMMAND_INFO(code, name, group, shape, meaning) \
  {code, #name, HandlerGroup::group, shape, meaning},
    QM_COMMAND_LIST(QM_COMMAND_INFO)
#undef QM_COMMAND_INFO
};

constexpr bool codesAscendAndFit() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    if (kCommands[i].code >= kFirstMethodCode) return false;
    if (i > 0 && kCommands[i].code <= kCommands[i - 1].code) return false;
  }
  return true;
}
static_assert(codesAscendAndFit(), "command codes must ascend and stay below the method codes");

// Position in kCommands for each code, -1 where the code has no command.
constexpr auto kIndexByCode = [] {
  std::array<int16_t, kFirstMethodCode> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < std::size(kCommands); ++i)
    index[kCommands[i].code] = static_cast<int16_t>(i);
  return index;
}();

}  // namespace

const CommandInfo* findCommand(uint16_t code) {
  if (code >= kFirstMethodCode) return nullptr;
  const int16_t i = kIndexByCode[code];
  return i < 0 ? nullptr : &kCommands[i];
}

const CommandInfo* findCommandByName(std::string_view name) {
  for (const CommandInfo& info : kCommands)
    if (name == info.name) return &info;
  return nullptr;
}

std::span<const CommandInfo> allCommands() { return kCommands; }

const char* handlerGroupName(HandlerGroup group) {
  switch (group) {
    case HandlerGroup::Nop: return "Nop";
    case HandlerGroup::SetNumberVariable: return "SetNumberVariable";
    case HandlerGroup::SetString: return "SetString";
    case HandlerGroup::SetNumber: return "SetNumber";
    case HandlerGroup::Return: return "Return";
    case HandlerGroup::Array: return "Array";
    case HandlerGroup::Flow: return "Flow";
    case HandlerGroup::File: return "File";
    case HandlerGroup::Socket: return "Socket";
    case HandlerGroup::Sprite: return "Sprite";
    case HandlerGroup::Movie: return "Movie";
    case HandlerGroup::Misc: return "Misc";
    case HandlerGroup::Draw: return "Draw";
    case HandlerGroup::For: return "For";
    case HandlerGroup::Select: return "Select";
    case HandlerGroup::If: return "If";
  }
  return "?";
}

}  // namespace qm
