// Every input of one custom character, as the user enters it in the main window. Each
// field names the window control that holds it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kavelin::sheet {

// Index of each optional section, as used by the flags and the window's control arrays.
enum class Section : std::size_t {
  kBasicStatus = 0,
  kInitialLevels = 1,
  kInitialArts = 2,
  kInitialEquipment = 3,
  kForbiddenSpells = 4,
  kOtherTraits = 5,
  kGrowthRates = 6,
};
inline constexpr std::size_t kSectionCount = 7;

// How many values each section holds. The patch's blocks, the sheet file's arrays and the
// window's controls all take their lengths from here.
inline constexpr std::size_t kStatCount = 7;
inline constexpr std::size_t kLevelCount = 9;  // HP, then eight levels
// The levels that carry a school: 地術LV with the earth school, 天術LV with the heaven one.
inline constexpr std::size_t kEarthLevelIndex = 6;
inline constexpr std::size_t kHeavenLevelIndex = 7;
inline constexpr std::size_t kEarthSchoolCount = 4;
inline constexpr std::size_t kHeavenSchoolCount = 2;
inline constexpr std::size_t kSpellSchoolCount = kEarthSchoolCount + kHeavenSchoolCount;
inline constexpr std::size_t kArtSlots = 4;        // of techniques, and again of spells
inline constexpr std::size_t kEquipmentSlots = 4;  // of weapons, and again of armour
inline constexpr std::size_t kGrowthRateCount = 15;

// The most bytes the name and the job name take in the game's code; the patch pads them
// to exactly this.
inline constexpr std::size_t kNameMaxBytes = 8;
inline constexpr std::size_t kJobNameMaxBytes = 10;

struct SectionFlags {
  bool enabled = false;  // "設定する", Check5(i): validated and written when on
  bool locked = false;   // "変更禁止", Check6(i): written as 255 or 0; kept while disabled
  bool operator==(const SectionFlags&) const = default;
};

// Numeric fields hold text as typed; NumericValue reads them. List fields hold the
// 0-based position of the selected entry in the list the catalogue gives.

struct BasicStatus {
  // Text3(0..6): 腕力 器用さ 素早さ 体力 魔力 意思力 魅力; 5 to 90.
  std::array<std::u16string, kStatCount> stats{u"15", u"15", u"15", u"15", u"15", u"15", u"15"};
  std::u16string lp = u"10";  // Text4: 3 to 99, or 128
  int destinyStar = 0;        // Combo2, plain list
  int favouriteWeapon = 0;    // Combo3, plain list
  int inspirationType = 0;    // Combo4, coded list
  bool operator==(const BasicStatus&) const = default;
};

struct InitialLevels {
  // Text5(0..8): HP (30 to 900), then 斬 殴 突 射 体術 地術LV 天術LV 増幅 (0 to 31).
  std::array<std::u16string, kLevelCount> levels{u"80", u"0", u"0", u"0", u"0",
                                                 u"0",  u"0", u"0", u"0"};
  std::array<bool, kLevelCount> grows{};  // Check3(0..8), "成長"
  int earthSchool = 0;                    // Option1(0..3): 蒼龍 朱鳥 白虎 玄武
  int heavenSchool = 0;                   // Option2(0..1): 太陽 月
  bool operator==(const InitialLevels&) const = default;
};

struct InitialArts {
  std::array<int, kArtSlots> techniques{};  // Combo5(0..3), coded; position 0 is "【FF】なし"
  std::array<int, kArtSlots> spells{};      // Combo5(4..7), coded; position 0 is "【FF】なし"
  bool operator==(const InitialArts&) const = default;
};

struct InitialEquipment {
  std::array<int, kEquipmentSlots> weapons{};  // Combo6(0..3), coded
  std::array<int, kEquipmentSlots> armour{};   // Combo6(4..7), coded
  bool operator==(const InitialEquipment&) const = default;
};

struct ForbiddenSpells {
  std::array<bool, kSpellSchoolCount>
      forbiddenSchools{};  // Check4(0..5): 蒼龍 朱鳥 白虎 玄武 太陽 月
  bool operator==(const ForbiddenSpells&) const = default;
};

struct OtherTraits {
  int formation = 0;        // Combo7(0), coded; position 0 is "【00】なし"
  int exclusiveWeapon = 0;  // Combo7(1), coded, not in code order
  int commanderType = 0;    // Combo7(2), coded
  bool operator==(const OtherTraits&) const = default;
};

struct GrowthRates {
  // Text6(0..14): HP WP JP 斬 殴 突 射 体術 蒼龍 朱鳥 白虎 玄武 太陽 月 増幅; 0 to 8, or 255.
  std::array<std::u16string, kGrowthRateCount> growthRates{
      u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0"};
  bool operator==(const GrowthRates&) const = default;
};

// A default-constructed sheet is the fresh sheet: every field at its default and every
// section off.
struct CharacterSheet {
  std::u16string name = u"名無しさん";         // Text1, "名前"
  std::u16string jobName = u"お腹いっぱい。";  // Text2, "職業名"
  int gender = 0;                              // Combo1, "性別", plain list
  std::u16string comment;                      // Text7, "コメント"; line breaks CR LF

  std::array<SectionFlags, kSectionCount> flags{};

  BasicStatus basicStatus;
  InitialLevels initialLevels;
  InitialArts initialArts;
  InitialEquipment initialEquipment;
  ForbiddenSpells forbiddenSpells;
  OtherTraits otherTraits;
  GrowthRates growthRates;

  SectionFlags& Flags(Section s) { return flags[static_cast<std::size_t>(s)]; }
  const SectionFlags& Flags(Section s) const { return flags[static_cast<std::size_t>(s)]; }
  bool Enabled(Section s) const { return Flags(s).enabled; }

  bool operator==(const CharacterSheet&) const = default;
};

// The comment keeps its line breaks as CR LF, the form the patch stores and counts. Text
// boxes and files may give LF or a lone CR; every front end passes them through this.
std::u16string NormaliseLineBreaks(std::u16string_view text);

// The most characters a comment may have: its count is stored in 16 bits.
inline constexpr std::size_t kMaxCommentLength = 65535;

}  // namespace kavelin::sheet
