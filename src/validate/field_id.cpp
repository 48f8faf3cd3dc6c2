#include "validate/field_id.hpp"

#include <array>
#include <string_view>

namespace kavelin::validate {
namespace {

// The sheet file's object keys, by sheet::Section.
constexpr std::array<std::string_view, sheet::kSectionCount> kSectionKeys = {
    "basicStatus",     "initialLevels", "initialArts", "initialEquipment",
    "forbiddenSpells", "otherTraits",   "growthRates"};

std::string Element(std::string_view path, std::size_t index) {
  return std::string(path) + "[" + std::to_string(index) + "]";
}

std::string SectionKey(std::size_t section) {
  return section < kSectionKeys.size() ? std::string(kSectionKeys[section])
                                       : "section" + std::to_string(section);
}

}  // namespace

std::string KeyPath(FieldId field) {
  const std::size_t i = field.index;
  switch (field.kind) {
    case FieldKind::kTemplatePicture:
      return "template";
    case FieldKind::kName:
      return "name";
    case FieldKind::kJobName:
      return "jobName";
    case FieldKind::kGender:
      return "gender";
    case FieldKind::kComment:
      return "comment";
    case FieldKind::kSectionEnabled:
      return SectionKey(i) + ".enabled";
    case FieldKind::kSectionLocked:
      return SectionKey(i) + ".locked";
    case FieldKind::kStat:
      return Element("basicStatus.stats", i);
    case FieldKind::kLp:
      return "basicStatus.lp";
    case FieldKind::kDestinyStar:
      return "basicStatus.destinyStar";
    case FieldKind::kFavouriteWeapon:
      return "basicStatus.favouriteWeapon";
    case FieldKind::kInspirationType:
      return "basicStatus.inspirationType";
    case FieldKind::kLevel:
      return Element("initialLevels.levels", i);
    case FieldKind::kGrows:
      return Element("initialLevels.grows", i);
    case FieldKind::kEarthSchool:
      return "initialLevels.earthSchool";
    case FieldKind::kHeavenSchool:
      return "initialLevels.heavenSchool";
    case FieldKind::kTechnique:
      return Element("initialArts.techniques", i);
    case FieldKind::kSpell:
      return Element("initialArts.spells", i);
    case FieldKind::kWeapon:
      return Element("initialEquipment.weapons", i);
    case FieldKind::kArmour:
      return Element("initialEquipment.armour", i);
    case FieldKind::kForbiddenSchool:
      return Element("forbiddenSpells.forbiddenSchools", i);
    case FieldKind::kFormation:
      return "otherTraits.formation";
    case FieldKind::kExclusiveWeapon:
      return "otherTraits.exclusiveWeapon";
    case FieldKind::kCommanderType:
      return "otherTraits.commanderType";
    case FieldKind::kGrowthRate:
      return Element("growthRates.growthRates", i);
  }
  return "field" + std::to_string(static_cast<int>(field.kind));
}

}  // namespace kavelin::validate
