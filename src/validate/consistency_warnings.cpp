#include "validate/consistency_warnings.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
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
using K = FieldKind;

bool UsesExtendedCharacters(const text::CodeTable& table, std::u16string_view text) {
  const auto encoded = text::EncodeGameText(table, text);
  return encoded && encoded->extended;
}

// The schools of the initial spells must agree within earth and within heaven, and each
// school in use needs its school option and a spell level of at least 1. A conflict names
// the two slots that disagree first; a missing level names the school's first slot and the
// first of what is missing: the levels section, the school option or the level.
std::optional<Finding> SpellWarning(const sheet::CharacterSheet& sheet) {
  struct Noted {
    SpellSchool school;
    std::size_t firstSlot;  // the first slot of this school
    std::size_t lastSlot;   // the slot that noted it
  };
  std::optional<Noted> earth;
  std::optional<Noted> heaven;
  std::optional<Finding> conflict;
  const auto& spells = sheet.initialArts.spells;
  for (std::size_t slot = 0; slot < spells.size(); ++slot) {
    const auto school = SpellSchoolAt(spells[slot]);
    if (!school) continue;
    auto& noted = IsEarthSchool(*school) ? earth : heaven;
    if (noted && noted->school == *school) {
      noted->lastSlot = slot;
      continue;
    }
    if (noted && !conflict) {
      conflict = Finding{std::u16string(messages::kSpellConflict),
                         {FieldId(K::kSpell, noted->lastSlot), FieldId(K::kSpell, slot)}};
    }
    noted = Noted{*school, slot, slot};
  }
  if (conflict) return conflict;

  const bool levelsSet = sheet.Enabled(Section::kInitialLevels);
  const auto& levels = sheet.initialLevels;
  auto missing = [&](const std::optional<Noted>& noted, int chosenOption, FieldKind option,
                     std::size_t levelIndex) -> std::optional<Finding> {
    if (!noted) return std::nullopt;
    std::optional<FieldId> cause;
    if (!levelsSet) {
      cause = FieldId::Enabled(Section::kInitialLevels);
    } else if (SchoolOption(noted->school) != chosenOption) {
      cause = FieldId(option);
    } else if (detail::StoredValue(levels.levels[levelIndex]) < 1) {
      cause = FieldId(K::kLevel, levelIndex);
    }
    if (!cause) return std::nullopt;
    return Finding{std::u16string(messages::kSpellLevelMissing),
                   {FieldId(K::kSpell, noted->firstSlot), *cause}};
  };
  if (auto earthMissing = missing(earth, levels.earthSchool, K::kEarthSchool, kEarthLevelIndex))
    return earthMissing;
  return missing(heaven, levels.heavenSchool, K::kHeavenSchool, kHeavenLevelIndex);
}

bool IsShield(std::optional<std::uint8_t> code) {
  return code && *code >= 0x50 && *code <= 0x5F;
}

// Names the first two shields.
std::optional<Finding> ShieldWarning(const sheet::InitialEquipment& equipment) {
  std::optional<std::size_t> firstShield;
  for (std::size_t slot = 0; slot < equipment.weapons.size(); ++slot) {
    if (!IsShield(sheet::CodeAt(ListId::kWeapon, equipment.weapons[slot]))) continue;
    if (!firstShield) {
      firstShield = slot;
      continue;
    }
    return Finding{std::u16string(messages::kSeveralShields),
                   {FieldId(K::kWeapon, *firstShield), FieldId(K::kWeapon, slot)}};
  }
  return std::nullopt;
}

// Names the first slot that cannot be worn with an earlier one, and the earliest slot it
// clashes with.
std::optional<Finding> ArmourWarning(const sheet::InitialEquipment& equipment) {
  // Per ArmourCategory, the slot that marked it.
  std::array<std::optional<std::size_t>, kArmourCategoryCount> wornIn{};
  for (std::size_t slot = 0; slot < equipment.armour.size(); ++slot) {
    const auto code = sheet::CodeAt(ListId::kArmour, equipment.armour[slot]);
    const auto category = code ? ArmourCategoryOf(*code) : std::nullopt;
    if (!category) continue;
    std::optional<std::size_t> clash;
    for (std::size_t other = 0; other < kArmourCategoryCount; ++other) {
      if (wornIn[other] && ArmourConflicts(*category, static_cast<ArmourCategory>(other)))
        clash = std::min(clash.value_or(*wornIn[other]), *wornIn[other]);
    }
    if (clash) {
      return Finding{std::u16string(messages::kArmourConflict),
                     {FieldId(K::kArmour, *clash), FieldId(K::kArmour, slot)}};
    }
    wornIn[static_cast<std::size_t>(*category)] = slot;
  }
  return std::nullopt;
}

std::optional<Finding> ExclusiveWeaponWarning(const sheet::CharacterSheet& sheet) {
  const int exclusive = sheet.otherTraits.exclusiveWeapon;
  if (exclusive == 0) return std::nullopt;
  const FieldId exclusiveField(K::kExclusiveWeapon);
  if (!sheet.Enabled(Section::kInitialEquipment)) {
    return Finding{std::u16string(messages::kExclusiveWithoutEquipment),
                   {exclusiveField, FieldId::Enabled(Section::kInitialEquipment)}};
  }

  const auto weapon = sheet::CodeAt(ListId::kWeapon, sheet.initialEquipment.weapons[0]);
  if (weapon == sheet::kEmptySlotCode) return std::nullopt;
  // A position the list does not hold has no code, and so fits no kind either.
  const auto kind = weapon ? ExclusiveWeaponPositionFor(*weapon) : std::nullopt;
  if (kind != exclusive) {
    return Finding{std::u16string(messages::kWeaponNotExclusive),
                   {FieldId(K::kWeapon, 0), exclusiveField}};
  }
  return std::nullopt;
}

}  // namespace

CheckResult CheckConsistencyWarnings(const sheet::CharacterSheet& sheet,
                                     const text::CodeTable& table) {
  std::vector<Finding> warnings;
  auto add = [&](std::optional<Finding> warning) {
    if (warning) warnings.push_back(std::move(*warning));
  };

  if (UsesExtendedCharacters(table, sheet.name))
    add(Finding{std::u16string(messages::kNameExtended), {FieldId(K::kName)}});
  if (UsesExtendedCharacters(table, sheet.jobName))
    add(Finding{std::u16string(messages::kJobNameExtended), {FieldId(K::kJobName)}});

  if (sheet.Enabled(Section::kInitialArts)) add(SpellWarning(sheet));

  if (sheet.Enabled(Section::kInitialEquipment)) {
    add(ShieldWarning(sheet.initialEquipment));
    add(ArmourWarning(sheet.initialEquipment));
  }

  if (sheet.Enabled(Section::kOtherTraits)) add(ExclusiveWeaponWarning(sheet));

  return MakeCheckResult(std::move(warnings), messages::kConfirmQuestion);
}

}  // namespace kavelin::validate
