#include "interpreter/FunctionTable.h"

#include <array>
#include <cstddef>

namespace qm {

namespace {

#define QM_FN0_INFO(id, name, shape, meaning) {id, #name, FunctionForm::None, shape, meaning},
#define QM_FN_INFO(id, name, form, shape, meaning) {id, #name, FunctionForm::form, shape, meaning},
constexpr FunctionInfo kNumFn0[] = {QM_NUM_FN0_LIST(QM_FN0_INFO)};
constexpr FunctionInfo kNumFn[] = {QM_NUM_FN_LIST(QM_FN_INFO)};
constexpr FunctionInfo kStrFn0[] = {QM_STR_FN0_LIST(QM_FN0_INFO)};
constexpr FunctionInfo kStrFn[] = {QM_STR_FN_LIST(QM_FN_INFO)};
#undef QM_FN0_INFO
#undef QM_FN_INFO

// Every list's IDs stay below this, so each list gets a direct lookup array.
constexpr std::size_t kIdCapacity = 64;

template <std::size_t N>
constexpr bool idsAscendAndFit(const FunctionInfo (&table)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].id >= kIdCapacity) return false;
    if (i > 0 && table[i].id <= table[i - 1].id) return false;
  }
  return true;
}
static_assert(idsAscendAndFit(kNumFn0) && idsAscendAndFit(kNumFn) && idsAscendAndFit(kStrFn0) &&
                  idsAscendAndFit(kStrFn),
              "function IDs must ascend and fit the lookup arrays");

template <std::size_t N>
constexpr std::array<int8_t, kIdCapacity> indexById(const FunctionInfo (&table)[N]) {
  std::array<int8_t, kIdCapacity> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < N; ++i) index[table[i].id] = static_cast<int8_t>(i);
  return index;
}

constexpr auto kNumFn0Index = indexById(kNumFn0);
constexpr auto kNumFnIndex = indexById(kNumFn);
constexpr auto kStrFn0Index = indexById(kStrFn0);
constexpr auto kStrFnIndex = indexById(kStrFn);

const FunctionInfo* lookup(std::span<const FunctionInfo> table,
                           const std::array<int8_t, kIdCapacity>& index, uint32_t id) {
  if (id >= kIdCapacity || index[id] < 0) return nullptr;
  return &table[static_cast<std::size_t>(index[id])];
}

const FunctionInfo* lookupName(std::span<const FunctionInfo> table, std::string_view name) {
  for (const FunctionInfo& info : table)
    if (name == info.name) return &info;
  return nullptr;
}

}  // namespace

const FunctionInfo* findNumFunction(uint32_t id, bool withParams) {
  return withParams ? lookup(kNumFn, kNumFnIndex, id) : lookup(kNumFn0, kNumFn0Index, id);
}

const FunctionInfo* findStrFunction(uint32_t id, bool withParams) {
  return withParams ? lookup(kStrFn, kStrFnIndex, id) : lookup(kStrFn0, kStrFn0Index, id);
}

const FunctionInfo* findNumFunctionByName(std::string_view name, bool withParams) {
  return lookupName(withParams ? std::span<const FunctionInfo>(kNumFn) : kNumFn0, name);
}

const FunctionInfo* findStrFunctionByName(std::string_view name, bool withParams) {
  return lookupName(withParams ? std::span<const FunctionInfo>(kStrFn) : kStrFn0, name);
}

std::span<const FunctionInfo> numFunctionsNoParams() { return kNumFn0; }
std::span<const FunctionInfo> numFunctionsWithParams() { return kNumFn; }
std::span<const FunctionInfo> strFunctionsNoParams() { return kStrFn0; }
std::span<const FunctionInfo> strFunctionsWithParams() { return kStrFn; }

}  // namespace qm
