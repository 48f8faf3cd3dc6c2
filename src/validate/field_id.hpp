// Which input a validation message is about, so that a front end can point at it. Names
// the fields of the character sheet, plus the template picture, which the sheet does not
// hold but the error pass checks.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sheet/character_sheet.hpp"

namespace kavelin::validate {

enum class FieldKind : std::uint8_t {
  kTemplatePicture,
  kName,
  kJobName,
  kGender,
  kComment,
  kSectionEnabled,  // index: the sheet::Section ("設定する")
  kSectionLocked,   // index: the sheet::Section ("変更禁止")
  kStat,            // index 0 to 6
  kLp,
  kDestinyStar,
  kFavouriteWeapon,
  kInspirationType,
  kLevel,  // index 0 (HP) to 8
  kGrows,  // index 0 to 8
  kEarthSchool,
  kHeavenSchool,
  kTechnique,        // index: slot 0 to 3
  kSpell,            // index: slot 0 to 3
  kWeapon,           // index: slot 0 to 3
  kArmour,           // index: slot 0 to 3
  kForbiddenSchool,  // index 0 to 5
  kFormation,
  kExclusiveWeapon,
  kCommanderType,
  kGrowthRate,  // index 0 to 14
};

// A kind, and for the kinds that are arrays the element; `index` is 0 for the others.
struct FieldId {
  FieldKind kind = FieldKind::kName;
  std::size_t index = 0;

  constexpr FieldId() = default;
  constexpr explicit FieldId(FieldKind k, std::size_t i = 0) : kind(k), index(i) {}
  static constexpr FieldId Enabled(sheet::Section s) {
    return FieldId(FieldKind::kSectionEnabled, static_cast<std::size_t>(s));
  }
  static constexpr FieldId Locked(sheet::Section s) {
    return FieldId(FieldKind::kSectionLocked, static_cast<std::size_t>(s));
  }

  friend constexpr bool operator==(const FieldId&, const FieldId&) = default;
  friend constexpr auto operator<=>(const FieldId&, const FieldId&) = default;
};

// The field's key path in a sheet file, for example "initialArts.spells[2]" or
// "otherTraits.enabled"; the template picture is "template".
std::string KeyPath(FieldId field);

}  // namespace kavelin::validate
