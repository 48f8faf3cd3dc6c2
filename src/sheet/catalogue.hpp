// Every list the character sheet chooses from, and the captions of its fields, in one
// place. The display names of coded entries are descriptive stand-ins (kind, school or
// category, and code); real names replace them here and nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sheet/character_sheet.hpp"

namespace kavelin::sheet {

enum class ListId {
  kGender,
  kDestinyStar,
  kFavouriteWeapon,
  kInspirationType,
  kTechnique,
  kSpell,
  kWeapon,
  kArmour,
  kFormation,
  kExclusiveWeapon,
  kCommanderType,
};

inline constexpr std::array<ListId, 11> kAllLists = {
    ListId::kGender,          ListId::kDestinyStar,   ListId::kFavouriteWeapon,
    ListId::kInspirationType, ListId::kTechnique,     ListId::kSpell,
    ListId::kWeapon,          ListId::kArmour,        ListId::kFormation,
    ListId::kExclusiveWeapon, ListId::kCommanderType,
};

// The entries of a list, in list order; a list field holds a position into this.
std::span<const std::u16string_view> ListEntries(ListId list);

// The lengths of the plain lists, whose positions the sheet file and the patch store as
// they are.
inline constexpr std::size_t kGenderCount = 4;
inline constexpr std::size_t kDestinyStarCount = 5;
inline constexpr std::size_t kFavouriteWeaponCount = 9;

// Coded lists begin every entry with 【XX】; the byte XX is what the patch stores.
bool IsCodedList(ListId list);

// The code of an entry text: characters 1 and 2 (after 【) read as two upper-case
// hexadecimal digits, when the text has the 【XX】 form.
constexpr std::optional<std::uint8_t> EntryCode(std::u16string_view entry) {
  if (entry.size() < 4 || entry[0] != u'【' || entry[3] != u'】') return std::nullopt;
  auto digit = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  };
  const int high = digit(entry[1]);
  const int low = digit(entry[2]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<std::uint8_t>(high * 16 + low);
}

// The code of the entry at `position` of a coded list; empty for a plain list or a
// position outside the list.
std::optional<std::uint8_t> CodeAt(ListId list, int position);

// The first position of a coded list whose entry has `code`; empty when the list does not
// offer it.
std::optional<int> PositionOfCode(ListId list, std::uint8_t code);

// The code every coded list uses for an empty slot ("【FF】なし"); the formation list uses 00.
inline constexpr std::uint8_t kEmptySlotCode = 0xFF;

// Captions of the fields, as the window shows them.
inline constexpr std::array<std::u16string_view, kSectionCount> kSectionCaptions = {
    u"基本ステータス", u"初期レベル", u"初期習得技術", u"初期装備",
    u"購入禁止術",     u"その他",     u"成長率"};
inline constexpr std::array<std::u16string_view, kStatCount> kStatCaptions = {
    u"腕力", u"器用さ", u"素早さ", u"体力", u"魔力", u"意思力", u"魅力"};
inline constexpr std::array<std::u16string_view, kLevelCount> kLevelCaptions = {
    u"HP", u"斬", u"殴", u"突", u"射", u"体術", u"地術LV", u"天術LV", u"増幅"};
inline constexpr std::array<std::u16string_view, kEarthSchoolCount> kEarthSchools = {
    u"蒼龍", u"朱鳥", u"白虎", u"玄武"};
inline constexpr std::array<std::u16string_view, kHeavenSchoolCount> kHeavenSchools = {u"太陽",
                                                                                       u"月"};
// Schools in the order of the forbidden-school flags and of the spell list's groups.
inline constexpr std::array<std::u16string_view, kSpellSchoolCount> kSpellSchools = {
    u"蒼龍", u"朱鳥", u"白虎", u"玄武", u"太陽", u"月"};
inline constexpr std::array<std::u16string_view, kGrowthRateCount> kGrowthRateCaptions = {
    u"HP",   u"WP",   u"JP",   u"斬",   u"殴",   u"突", u"射",  u"体術",
    u"蒼龍", u"朱鳥", u"白虎", u"玄武", u"太陽", u"月", u"増幅"};

}  // namespace kavelin::sheet
