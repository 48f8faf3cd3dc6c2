// The target game's fixed rules that the warnings rest on: which school a spell belongs
// to, which armour can be worn together, and which weapons an exclusive weapon kind allows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "sheet/character_sheet.hpp"

namespace kavelin::validate {

// ---- Spell schools --------------------------------------------------------------------

// In the order of the spell list's groups and of the school options: four earth schools
// (蒼龍 朱鳥 白虎 玄武), then two heaven schools (太陽 月).
enum class SpellSchool : std::uint8_t {
  kAzureDragon = 0,
  kVermilionBird = 1,
  kWhiteTiger = 2,
  kBlackTortoise = 3,
  kSun = 4,
  kMoon = 5,
};

inline constexpr int kSpellsPerSchool = 6;
inline constexpr int kSchoolCount = static_cast<int>(sheet::kSpellSchoolCount);
inline constexpr int kEarthSchoolCount = static_cast<int>(sheet::kEarthSchoolCount);

// The spell list is grouped by school, six positions each from position 1; the last four
// positions (and position 0, the empty slot) belong to no school. The school follows from
// the position, never from the code.
constexpr std::optional<SpellSchool> SpellSchoolAt(int spellPosition) {
  if (spellPosition < 1 || spellPosition > kSpellsPerSchool * kSchoolCount) return std::nullopt;
  return static_cast<SpellSchool>((spellPosition - 1) / kSpellsPerSchool);
}

// Earth schools are governed by 地術LV and the earth option, heaven schools by 天術LV and
// the heaven option.
constexpr bool IsEarthSchool(SpellSchool school) {
  return static_cast<int>(school) < kEarthSchoolCount;
}

// The value of `earthSchool` or `heavenSchool` that selects this school.
constexpr int SchoolOption(SpellSchool school) {
  const int index = static_cast<int>(school);
  return IsEarthSchool(school) ? index : index - kEarthSchoolCount;
}

// The `levels` entry that holds the school's spell level.
using sheet::kEarthLevelIndex;
using sheet::kHeavenLevelIndex;

static_assert(SpellSchoolAt(6) == SpellSchool::kAzureDragon &&
              SpellSchoolAt(7) == SpellSchool::kVermilionBird &&
              SpellSchoolAt(36) == SpellSchool::kMoon && !SpellSchoolAt(37) && !SpellSchoolAt(0));
static_assert(SchoolOption(SpellSchool::kBlackTortoise) == 3 &&
              SchoolOption(SpellSchool::kMoon) == 1);

// ---- Armour ---------------------------------------------------------------------------

enum class ArmourCategory : std::uint8_t {
  kSuit = 0,  // full armour: covers body, head, arms and feet
  kBodyArmour = 1,
  kClothing = 2,
  kHeadgear = 3,
  kArmgear = 4,
  kFootgear = 5,
  kFixedRobe = 6,  // worn alone
};
inline constexpr std::size_t kArmourCategoryCount = 7;

struct ArmourCodeRange {
  std::uint8_t first;
  std::uint8_t last;
  ArmourCategory category;
};

// Codes outside every range (70, 71, the accessories C8 to DF, FF) have no category and
// never conflict.
inline constexpr std::array<ArmourCodeRange, 12> kArmourCodeRanges = {{
    {0xA0, 0xA7, ArmourCategory::kSuit},
    {0x60, 0x6F, ArmourCategory::kBodyArmour},
    {0x73, 0x84, ArmourCategory::kBodyArmour},
    {0x87, 0x93, ArmourCategory::kBodyArmour},
    {0x95, 0x9E, ArmourCategory::kBodyArmour},
    {0x72, 0x72, ArmourCategory::kClothing},
    {0x86, 0x86, ArmourCategory::kClothing},
    {0xA8, 0xAF, ArmourCategory::kClothing},
    {0xB0, 0xB7, ArmourCategory::kHeadgear},
    {0xB8, 0xBF, ArmourCategory::kArmgear},
    {0xC0, 0xC7, ArmourCategory::kFootgear},
    {0x9F, 0x9F, ArmourCategory::kFixedRobe},
}};

constexpr std::uint8_t CategoryBit(ArmourCategory c) {
  return static_cast<std::uint8_t>(1u << static_cast<unsigned>(c));
}
template <typename... C>
constexpr std::uint8_t CategoryBits(C... categories) {
  return static_cast<std::uint8_t>((CategoryBit(categories) | ...));
}

// Per category, the categories it cannot be worn with (itself included), as bits.
inline constexpr std::array<std::uint8_t, kArmourCategoryCount> kArmourConflicts = [] {
  using enum ArmourCategory;
  std::array<std::uint8_t, kArmourCategoryCount> table{};
  table[static_cast<std::size_t>(kSuit)] =
      CategoryBits(kSuit, kBodyArmour, kHeadgear, kArmgear, kFootgear, kFixedRobe);
  table[static_cast<std::size_t>(kBodyArmour)] = CategoryBits(kBodyArmour, kSuit, kFixedRobe);
  table[static_cast<std::size_t>(kClothing)] = CategoryBits(kClothing, kFixedRobe);
  table[static_cast<std::size_t>(kHeadgear)] = CategoryBits(kHeadgear, kSuit, kFixedRobe);
  table[static_cast<std::size_t>(kArmgear)] = CategoryBits(kArmgear, kSuit, kFixedRobe);
  table[static_cast<std::size_t>(kFootgear)] = CategoryBits(kFootgear, kSuit, kFixedRobe);
  table[static_cast<std::size_t>(kFixedRobe)] =
      CategoryBits(kFixedRobe, kSuit, kBodyArmour, kClothing, kHeadgear, kArmgear, kFootgear);
  return table;
}();

constexpr std::optional<ArmourCategory> ArmourCategoryOf(std::uint8_t code) {
  for (const auto& range : kArmourCodeRanges) {
    if (code >= range.first && code <= range.last) return range.category;
  }
  return std::nullopt;
}

constexpr bool ArmourConflicts(ArmourCategory a, ArmourCategory b) {
  return (kArmourConflicts[static_cast<std::size_t>(a)] & CategoryBit(b)) != 0;
}

// ---- Exclusive weapon kinds -----------------------------------------------------------

struct WeaponKindRange {
  std::uint8_t first;
  std::uint8_t last;
  int exclusiveWeaponPosition;  // position in the exclusive-weapon list (1 to 15)
};

// Weapon codes by the exclusive-weapon position they satisfy. Codes outside every range
// (items, shields, 28 and the rest) satisfy none; FF, the empty slot, is handled apart.
inline constexpr std::array<WeaponKindRange, 31> kWeaponKindTable = {{
    {0x08, 0x0A, 1},  {0x0D, 0x13, 1},                                      // 剣
    {0x0B, 0x0C, 2},  {0x16, 0x16, 2},                                      // 剣（曲刀）
    {0x14, 0x15, 3},  {0x18, 0x18, 3},  {0x1D, 0x1D, 3},  {0x4D, 0x4D, 3},  // 大剣
    {0x19, 0x1A, 4},  {0x1C, 0x1C, 4},                                      // 大剣（刀）
    {0x17, 0x17, 5},                                       // 大剣（剣技可能）
    {0x1B, 0x1B, 6},                                       // 大剣（氷剣）
    {0x1E, 0x25, 7},                                       // 斧
    {0x26, 0x27, 8},  {0x29, 0x2A, 8},                     // 棍棒
    {0x2B, 0x2F, 9},                                       // 棍棒(杖)
    {0x30, 0x30, 10}, {0x32, 0x32, 10}, {0x34, 0x38, 10},  // 小剣
    {0x31, 0x31, 11}, {0x33, 0x33, 11}, {0x4E, 0x4E, 11},  // 小剣(剣技可能)
    {0x39, 0x3A, 12}, {0x3F, 0x3F, 12}, {0x41, 0x41, 12},  // 槍
    {0x3C, 0x3C, 13}, {0x40, 0x40, 13}, {0x42, 0x42, 13},  // 槍（矛槍）
    {0x3B, 0x3B, 14}, {0x3D, 0x3E, 14},                    // 槍（三椏）
    {0x43, 0x4B, 15},                                      // 弓
}};

// The exclusive-weapon position a weapon code belongs to, or none.
constexpr std::optional<int> ExclusiveWeaponPositionFor(std::uint8_t weaponCode) {
  for (const auto& range : kWeaponKindTable) {
    if (weaponCode >= range.first && weaponCode <= range.last) return range.exclusiveWeaponPosition;
  }
  return std::nullopt;
}

namespace detail {
// A code in two ranges would make the first range win silently.
template <typename Range, std::size_t N>
consteval bool RangesAreDisjoint(const std::array<Range, N>& ranges) {
  for (std::size_t i = 0; i < N; ++i) {
    if (ranges[i].first > ranges[i].last) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (ranges[i].first <= ranges[j].last && ranges[j].first <= ranges[i].last) return false;
    }
  }
  return true;
}
}  // namespace detail

namespace detail {
consteval bool ConflictsAreSymmetric() {
  for (std::size_t a = 0; a < kArmourCategoryCount; ++a) {
    for (std::size_t b = 0; b < kArmourCategoryCount; ++b) {
      const auto ca = static_cast<ArmourCategory>(a);
      const auto cb = static_cast<ArmourCategory>(b);
      if (ArmourConflicts(ca, cb) != ArmourConflicts(cb, ca)) return false;
    }
  }
  return true;
}
}  // namespace detail

// The warning pass marks categories one slot at a time; only a symmetric relation makes
// its answer independent of the slot order.
static_assert(detail::ConflictsAreSymmetric());
static_assert(detail::RangesAreDisjoint(kArmourCodeRanges));
static_assert(detail::RangesAreDisjoint(kWeaponKindTable));

}  // namespace kavelin::validate
