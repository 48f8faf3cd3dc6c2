#include "validate/live_check.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "validate/consistency_warnings.hpp"
#include "validate/input_errors.hpp"

namespace kavelin::validate {
namespace {

// Normalisation keeps the first occurrence of each entry, so an occupied slot of the copy
// came from the first slot of the user's sheet that holds the same entry.
void PointAtUserSlots(std::vector<std::vector<FieldId>>& fields, const sheet::InitialArts& user,
                      const sheet::InitialArts& normalised) {
  for (auto& list : fields) {
    for (auto& field : list) {
      const bool technique = field.kind == FieldKind::kTechnique;
      if (!technique && field.kind != FieldKind::kSpell) continue;
      const auto& from = technique ? user.techniques : user.spells;
      const auto& to = technique ? normalised.techniques : normalised.spells;
      if (field.index >= to.size() || to[field.index] == 0) continue;
      const auto it = std::find(from.begin(), from.end(), to[field.index]);
      if (it != from.end()) field.index = static_cast<std::size_t>(it - from.begin());
    }
  }
}

}  // namespace

LiveCheckResult LiveCheck(const sheet::CharacterSheet& sheet, const text::CodeTable& table,
                          bool templateLoaded) {
  const sheet::CharacterSheet tidied = Tidy(sheet);
  LiveCheckResult result;
  result.errors = CheckInputErrors(tidied, table, templateLoaded);
  result.warnings = CheckConsistencyWarnings(tidied, table);
  if (tidied.initialArts != sheet.initialArts) {
    PointAtUserSlots(result.errors.fields, sheet.initialArts, tidied.initialArts);
    PointAtUserSlots(result.warnings.fields, sheet.initialArts, tidied.initialArts);
  }
  return result;
}

}  // namespace kavelin::validate
