// Every field of the character sheet once: its key in the sheet file, how many values it
// holds, what they are, the values the error pass accepts and how the user enters them.
// The sheet file's reader and writer, the key paths that messages point at, the checks and
// the form all take these facts from here.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "sheet/catalogue.hpp"
#include "sheet/character_sheet.hpp"

namespace kavelin::sheet {

// In the order of the sheet file, which is also the order of the table's rows.
enum class FieldKind : std::uint8_t {
  kTemplatePicture,
  kName,
  kJobName,
  kGender,
  kComment,
  kSectionEnabled,  // index: the Section ("設定する")
  kSectionLocked,   // index: the Section ("変更禁止")
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
inline constexpr std::size_t kFieldKindCount = 25;

// A kind, and for the kinds that are arrays the element; `index` is 0 for the others.
struct FieldId {
  FieldKind kind = FieldKind::kName;
  std::size_t index = 0;

  constexpr FieldId() = default;
  constexpr explicit FieldId(FieldKind k, std::size_t i = 0) : kind(k), index(i) {}
  static constexpr FieldId Enabled(Section s) {
    return FieldId(FieldKind::kSectionEnabled, static_cast<std::size_t>(s));
  }
  static constexpr FieldId Locked(Section s) {
    return FieldId(FieldKind::kSectionLocked, static_cast<std::size_t>(s));
  }

  friend constexpr bool operator==(const FieldId&, const FieldId&) = default;
  friend constexpr auto operator<=>(const FieldId&, const FieldId&) = default;
};

// The values the error pass accepts in a numeric field.
struct FieldRange {
  int low, high;
  std::optional<int> alsoAccepted;  // one value outside the range that is allowed too
  constexpr bool Accepts(double value) const {
    return (value >= low && value <= high) || (alsoAccepted && value == *alsoAccepted);
  }
};

// Where a field's key stands in the sheet file.
enum class FieldPlace : std::uint8_t {
  kDocument,      // in the document object
  kSection,       // in its section's object
  kEverySection,  // in every section's object; the field's index names the section
};

// What a field's values are, and so how the file writes them.
enum class FieldValue : std::uint8_t {
  kText,      // a string
  kNumber,    // numeric text as typed: a string, or a number taken as its text
  kTick,      // true or false
  kPosition,  // a position into a plain list or a row of options, as a whole number
  kCode,      // an entry of a coded list, as its two hexadecimal digits
  kPath,      // the template's path, which the document holds beside the sheet
};

// How the user enters a field.
enum class FieldInput : std::uint8_t {
  kLine,     // one line of typing
  kLines,    // several lines of typing
  kList,     // a choice from `list`
  kTick,     // on or off
  kOptions,  // one of `choices` options
  kPicture,  // a picture file
};

struct FieldRow {
  FieldKind kind;
  FieldPlace place;
  Section section;  // for kSection
  std::string_view key;
  std::size_t count;  // the values under the key; more than one are an array
  FieldValue value;
  FieldInput input;
  std::optional<ListId> list{};
  std::size_t choices = 0;  // the positions a kPosition value may take
  std::optional<FieldRange> range{};
  // The first slot's own range, where it differs: HP leads the levels.
  std::optional<FieldRange> firstRange{};
};

// The sheet file's object key of each section.
inline constexpr std::array<std::string_view, kSectionCount> kSectionKeys = {
    "basicStatus",     "initialLevels", "initialArts", "initialEquipment",
    "forbiddenSpells", "otherTraits",   "growthRates"};

namespace field_rows {

using K = FieldKind;
using P = FieldPlace;
using V = FieldValue;
using I = FieldInput;
using S = Section;

inline constexpr FieldRange kStats = {5, 90, std::nullopt};
inline constexpr FieldRange kLp = {3, 99, 128};
inline constexpr FieldRange kInitialHp = {30, 900, std::nullopt};
inline constexpr FieldRange kLevels = {0, 31, std::nullopt};
inline constexpr FieldRange kGrowthRates = {0, 8, 255};

constexpr FieldRow Document(K kind, std::string_view key, V value, I input) {
  return {.kind = kind,
          .place = P::kDocument,
          .section = {},
          .key = key,
          .count = 1,
          .value = value,
          .input = input};
}
constexpr FieldRow Flag(K kind, std::string_view key) {
  return {.kind = kind,
          .place = P::kEverySection,
          .section = {},
          .key = key,
          .count = 1,
          .value = V::kTick,
          .input = I::kTick};
}
constexpr FieldRow Member(K kind, S section, std::string_view key, std::size_t count, V value,
                          I input) {
  return {.kind = kind,
          .place = P::kSection,
          .section = section,
          .key = key,
          .count = count,
          .value = value,
          .input = input};
}
constexpr FieldRow Numbers(K kind, S section, std::string_view key, std::size_t count,
                           FieldRange range, std::optional<FieldRange> first = std::nullopt) {
  FieldRow row = Member(kind, section, key, count, V::kNumber, I::kLine);
  row.range = range;
  row.firstRange = first;
  return row;
}
constexpr FieldRow Ticks(K kind, S section, std::string_view key, std::size_t count) {
  return Member(kind, section, key, count, V::kTick, I::kTick);
}
constexpr FieldRow Options(K kind, S section, std::string_view key, std::size_t choices) {
  FieldRow row = Member(kind, section, key, 1, V::kPosition, I::kOptions);
  row.choices = choices;
  return row;
}
// A list chosen from: by position when it is plain, by code when it is coded.
constexpr FieldRow List(FieldRow row, ListId list, std::size_t positions = 0) {
  row.input = I::kList;
  row.list = list;
  row.value = positions > 0 ? V::kPosition : V::kCode;
  row.choices = positions;
  return row;
}

}  // namespace field_rows

inline constexpr std::array<FieldRow, kFieldKindCount> kFieldTable = [] {
  using namespace field_rows;
  const auto in = [](S section, K kind, std::string_view key, std::size_t count = 1) {
    return Member(kind, section, key, count, V::kCode, I::kList);
  };
  return std::array<FieldRow, kFieldKindCount>{
      Document(K::kTemplatePicture, "template", V::kPath, I::kPicture),
      Document(K::kName, "name", V::kText, I::kLine),
      Document(K::kJobName, "jobName", V::kText, I::kLine),
      List(Document(K::kGender, "gender", V::kPosition, I::kList), ListId::kGender, kGenderCount),
      Document(K::kComment, "comment", V::kText, I::kLines),
      Flag(K::kSectionEnabled, "enabled"),
      Flag(K::kSectionLocked, "locked"),
      Numbers(K::kStat, S::kBasicStatus, "stats", kStatCount, kStats),
      Numbers(K::kLp, S::kBasicStatus, "lp", 1, kLp),
      List(in(S::kBasicStatus, K::kDestinyStar, "destinyStar"), ListId::kDestinyStar,
           kDestinyStarCount),
      List(in(S::kBasicStatus, K::kFavouriteWeapon, "favouriteWeapon"), ListId::kFavouriteWeapon,
           kFavouriteWeaponCount),
      List(in(S::kBasicStatus, K::kInspirationType, "inspirationType"), ListId::kInspirationType),
      Numbers(K::kLevel, S::kInitialLevels, "levels", kLevelCount, kLevels, kInitialHp),
      Ticks(K::kGrows, S::kInitialLevels, "grows", kLevelCount),
      Options(K::kEarthSchool, S::kInitialLevels, "earthSchool", kEarthSchoolCount),
      Options(K::kHeavenSchool, S::kInitialLevels, "heavenSchool", kHeavenSchoolCount),
      List(in(S::kInitialArts, K::kTechnique, "techniques", kArtSlots), ListId::kTechnique),
      List(in(S::kInitialArts, K::kSpell, "spells", kArtSlots), ListId::kSpell),
      List(in(S::kInitialEquipment, K::kWeapon, "weapons", kEquipmentSlots), ListId::kWeapon),
      List(in(S::kInitialEquipment, K::kArmour, "armour", kEquipmentSlots), ListId::kArmour),
      Ticks(K::kForbiddenSchool, S::kForbiddenSpells, "forbiddenSchools", kSpellSchoolCount),
      List(in(S::kOtherTraits, K::kFormation, "formation"), ListId::kFormation),
      List(in(S::kOtherTraits, K::kExclusiveWeapon, "exclusiveWeapon"), ListId::kExclusiveWeapon),
      List(in(S::kOtherTraits, K::kCommanderType, "commanderType"), ListId::kCommanderType),
      Numbers(K::kGrowthRate, S::kGrowthRates, "growthRates", kGrowthRateCount, kGrowthRates),
  };
}();

constexpr bool RowsInKindOrder() {
  for (std::size_t i = 0; i < kFieldTable.size(); ++i)
    if (kFieldTable[i].kind != static_cast<FieldKind>(i)) return false;
  return true;
}
static_assert(RowsInKindOrder(), "the table is indexed by kind");

// The row of a kind; null for a value outside the enumeration.
constexpr const FieldRow* FindRow(FieldKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < kFieldTable.size() ? &kFieldTable[i] : nullptr;
}
constexpr const FieldRow& Row(FieldKind kind) {
  return kFieldTable[static_cast<std::size_t>(kind)];
}

constexpr bool IsArray(const FieldRow& row) {
  return row.count > 1;
}
// How many fields of the row there are: one per slot, or one per section.
constexpr std::size_t FieldCount(const FieldRow& row) {
  return row.place == FieldPlace::kEverySection ? kSectionCount : row.count;
}
// Whether a field has a row and its index is one of the row's. By index, not through
// FindRow: under the undefined-behaviour sanitizer GCC cannot compare a table row's address
// with null in a constant expression, and the messages' static checks call this.
constexpr bool IsField(FieldId field) {
  const auto i = static_cast<std::size_t>(field.kind);
  return i < kFieldTable.size() && field.index < FieldCount(kFieldTable[i]);
}
// The section whose object holds a field, if one does.
constexpr std::optional<Section> SectionOf(FieldId field) {
  const FieldRow& row = Row(field.kind);
  if (row.place == FieldPlace::kSection) return row.section;
  if (row.place == FieldPlace::kEverySection) return static_cast<Section>(field.index);
  return std::nullopt;
}

// The values the error pass accepts in a numeric field; empty for the other fields.
constexpr std::optional<FieldRange> RangeOf(FieldId field) {
  if (!IsField(field)) return std::nullopt;
  const FieldRow& row = Row(field.kind);
  return field.index == 0 && row.firstRange ? row.firstRange : row.range;
}

// The field's key path in a sheet file, for example "initialArts.spells[2]" or
// "otherTraits.enabled"; the template picture is "template".
std::string KeyPath(FieldId field);

// Calls `f` with the member of `sheet` that holds a kind: the array of its slots for an
// array, else the value. A section's flag is reached through `section`; the template is
// held beside the sheet, so `f` is not called for it.
template <typename Sheet, typename F>
constexpr void VisitMember(Sheet& sheet, FieldKind kind, std::size_t section, F&& f) {
  using K = FieldKind;
  switch (kind) {
    case K::kTemplatePicture:
      return;
    case K::kName:
      return f(sheet.name);
    case K::kJobName:
      return f(sheet.jobName);
    case K::kGender:
      return f(sheet.gender);
    case K::kComment:
      return f(sheet.comment);
    case K::kSectionEnabled:
      return f(sheet.flags[section].enabled);
    case K::kSectionLocked:
      return f(sheet.flags[section].locked);
    case K::kStat:
      return f(sheet.basicStatus.stats);
    case K::kLp:
      return f(sheet.basicStatus.lp);
    case K::kDestinyStar:
      return f(sheet.basicStatus.destinyStar);
    case K::kFavouriteWeapon:
      return f(sheet.basicStatus.favouriteWeapon);
    case K::kInspirationType:
      return f(sheet.basicStatus.inspirationType);
    case K::kLevel:
      return f(sheet.initialLevels.levels);
    case K::kGrows:
      return f(sheet.initialLevels.grows);
    case K::kEarthSchool:
      return f(sheet.initialLevels.earthSchool);
    case K::kHeavenSchool:
      return f(sheet.initialLevels.heavenSchool);
    case K::kTechnique:
      return f(sheet.initialArts.techniques);
    case K::kSpell:
      return f(sheet.initialArts.spells);
    case K::kWeapon:
      return f(sheet.initialEquipment.weapons);
    case K::kArmour:
      return f(sheet.initialEquipment.armour);
    case K::kForbiddenSchool:
      return f(sheet.forbiddenSpells.forbiddenSchools);
    case K::kFormation:
      return f(sheet.otherTraits.formation);
    case K::kExclusiveWeapon:
      return f(sheet.otherTraits.exclusiveWeapon);
    case K::kCommanderType:
      return f(sheet.otherTraits.commanderType);
    case K::kGrowthRate:
      return f(sheet.growthRates.growthRates);
  }
}

namespace detail {
template <typename T>
struct ArrayOf {
  using type = void;
};
template <typename T, std::size_t N>
struct ArrayOf<std::array<T, N>> {
  using type = T;
};
}  // namespace detail

// The sheet's value of one field, when it is a T (std::u16string, bool or int); null for a
// field of another type, an index the row has not, and the template.
template <typename T, typename Sheet>
constexpr auto ValueOf(Sheet& sheet, FieldId field) {
  using Out = std::conditional_t<std::is_const_v<Sheet>, const T*, T*>;
  Out out = nullptr;
  if (!IsField(field)) return out;
  VisitMember(sheet, field.kind, field.index, [&](auto& member) {
    using M = std::remove_cvref_t<decltype(member)>;
    if constexpr (std::is_same_v<M, T>) {
      out = &member;
    } else if constexpr (std::is_same_v<typename detail::ArrayOf<M>::type, T>) {
      out = &member[field.index];
    }
  });
  return out;
}

}  // namespace kavelin::sheet
