#include "validate/consistency_warnings.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sheet/catalogue.hpp"
#include "validate/game_rules.hpp"
#include "validate/messages.hpp"
#include "validate/numeric_field.hpp"

namespace kavelin::validate {
namespace {

using sheet::ListId;
using sheet::Section;

bool UsesExtendedCharacters(const text::CodeTable& table, std::u16string_view text) {
  return text::EncodeGameText(table, text).status == text::EncodeStatus::kExtended;
}

// The schools of the initial spells must agree within earth and within heaven, and each
// school in use needs its school option and a spell level of at least 1.
std::optional<std::u16string_view> SpellWarning(const sheet::CharacterSheet& sheet) {
  std::optional<SpellSchool> earth;
  std::optional<SpellSchool> heaven;
  bool conflict = false;
  for (const int position : sheet.initialArts.spells) {
    const auto school = SpellSchoolAt(position);
    if (!school) continue;
    auto& noted = IsEarthSchool(*school) ? earth : heaven;
    if (noted && *noted != *school) conflict = true;
    noted = school;
  }
  if (conflict) return messages::kSpellConflict;

  const bool levelsSet = sheet.Enabled(Section::kInitialLevels);
  const auto& levels = sheet.initialLevels;
  auto missing = [&](const std::optional<SpellSchool>& school, int chosenOption,
                     std::size_t levelIndex) {
    if (!school) return false;
    const auto level = detail::StoredValue(levels.levels[levelIndex]);
    return !levelsSet || SchoolOption(*school) != chosenOption || level < 1;
  };
  if (missing(earth, levels.earthSchool, kEarthLevelIndex) ||
      missing(heaven, levels.heavenSchool, kHeavenLevelIndex)) {
    return messages::kSpellLevelMissing;
  }
  return std::nullopt;
}

bool IsShield(std::optional<std::uint8_t> code) {
  return code && *code >= 0x50 && *code <= 0x5F;
}

bool SeveralShields(const sheet::InitialEquipment& equipment) {
  int shields = 0;
  for (const int position : equipment.weapons) {
    if (IsShield(sheet::CodeAt(ListId::kWeapon, position)) && ++shields == 2) return true;
  }
  return false;
}

bool ArmourConflict(const sheet::InitialEquipment& equipment) {
  std::uint8_t worn = 0;  // one bit per ArmourCategory already in a slot
  bool conflict = false;
  for (const int position : equipment.armour) {
    const auto code = sheet::CodeAt(ListId::kArmour, position);
    const auto category = code ? ArmourCategoryOf(*code) : std::nullopt;
    if (!category) continue;
    if ((worn & kArmourConflicts[static_cast<std::size_t>(*category)]) != 0) {
      conflict = true;
    } else {
      worn = static_cast<std::uint8_t>(worn | CategoryBit(*category));
    }
  }
  return conflict;
}

std::optional<std::u16string_view> ExclusiveWeaponWarning(const sheet::CharacterSheet& sheet) {
  const int exclusive = sheet.otherTraits.exclusiveWeapon;
  if (exclusive == 0) return std::nullopt;
  if (!sheet.Enabled(Section::kInitialEquipment)) return messages::kExclusiveWithoutEquipment;

  const auto weapon = sheet::CodeAt(ListId::kWeapon, sheet.initialEquipment.weapons[0]);
  if (weapon == sheet::kEmptySlotCode) return std::nullopt;
  // A position the list does not hold has no code, and so fits no kind either.
  const auto kind = weapon ? ExclusiveWeaponPositionFor(*weapon) : std::nullopt;
  if (kind != exclusive) return messages::kWeaponNotExclusive;
  return std::nullopt;
}

}  // namespace

CheckResult CheckConsistencyWarnings(const sheet::CharacterSheet& sheet,
                                     const text::CodeTable& table) {
  std::vector<std::u16string> warnings;
  auto add = [&](std::optional<std::u16string_view> warning) {
    if (warning) warnings.emplace_back(*warning);
  };

  if (UsesExtendedCharacters(table, sheet.name)) add(messages::kNameExtended);
  if (UsesExtendedCharacters(table, sheet.jobName)) add(messages::kJobNameExtended);

  if (sheet.Enabled(Section::kInitialArts)) add(SpellWarning(sheet));

  if (sheet.Enabled(Section::kInitialEquipment)) {
    if (SeveralShields(sheet.initialEquipment)) add(messages::kSeveralShields);
    if (ArmourConflict(sheet.initialEquipment)) add(messages::kArmourConflict);
  }

  if (sheet.Enabled(Section::kOtherTraits)) add(ExclusiveWeaponWarning(sheet));

  return MakeCheckResult(std::move(warnings), messages::kConfirmQuestion);
}

}  // namespace kavelin::validate
