#include "sheet/catalogue.hpp"

namespace kavelin::sheet {
namespace {

constexpr std::array<std::u16string_view, kGenderCount> kGenders = {u"男", u"女", u"無性", u"両性"};
constexpr std::array<std::u16string_view, kDestinyStarCount> kDestinyStars = {
    u"歳星", u"螢惑", u"鎮星", u"太白", u"辰星"};
constexpr std::array<std::u16string_view, kFavouriteWeaponCount> kFavouriteWeapons = {
    u"剣", u"大剣", u"斧", u"棍棒", u"小剣", u"槍", u"弓", u"素手", u"なし"};

constexpr std::array<std::u16string_view, 11> kInspirationTypes = {
    u"【00】術", u"【01】剣", u"【02】大剣", u"【03】斧",      u"【04】棍棒",   u"【05】小剣",
    u"【06】槍", u"【07】弓", u"【08】体術", u"【09】その他1", u"【0A】その他2"};

// Techniques: kind and code.
constexpr std::array<std::u16string_view, 105> kTechniques = {
    u"【FF】なし", u"【0F】技0F", u"【10】技10", u"【11】技11", u"【12】技12", u"【13】技13",
    u"【14】技14", u"【15】技15", u"【16】技16", u"【17】技17", u"【18】技18", u"【19】技19",
    u"【1A】技1A", u"【1B】技1B", u"【1C】技1C", u"【1D】技1D", u"【28】技28", u"【29】技29",
    u"【2A】技2A", u"【2B】技2B", u"【2C】技2C", u"【2D】技2D", u"【2E】技2E", u"【2F】技2F",
    u"【30】技30", u"【31】技31", u"【32】技32", u"【33】技33", u"【38】技38", u"【39】技39",
    u"【3A】技3A", u"【3B】技3B", u"【3C】技3C", u"【3D】技3D", u"【3E】技3E", u"【3F】技3F",
    u"【40】技40", u"【41】技41", u"【42】技42", u"【43】技43", u"【49】技49", u"【4A】技4A",
    u"【4B】技4B", u"【4C】技4C", u"【4D】技4D", u"【4E】技4E", u"【4F】技4F", u"【50】技50",
    u"【51】技51", u"【52】技52", u"【53】技53", u"【5D】技5D", u"【5E】技5E", u"【5F】技5F",
    u"【60】技60", u"【61】技61", u"【62】技62", u"【63】技63", u"【64】技64", u"【65】技65",
    u"【66】技66", u"【67】技67", u"【6E】技6E", u"【6F】技6F", u"【70】技70", u"【71】技71",
    u"【72】技72", u"【73】技73", u"【74】技74", u"【75】技75", u"【76】技76", u"【77】技77",
    u"【78】技78", u"【79】技79", u"【7A】技7A", u"【7B】技7B", u"【82】技82", u"【83】技83",
    u"【84】技84", u"【85】技85", u"【86】技86", u"【87】技87", u"【88】技88", u"【89】技89",
    u"【8A】技8A", u"【8B】技8B", u"【8C】技8C", u"【8D】技8D", u"【8E】技8E", u"【96】技96",
    u"【97】技97", u"【98】技98", u"【99】技99", u"【9A】技9A", u"【9B】技9B", u"【9C】技9C",
    u"【9D】技9D", u"【9E】技9E", u"【9F】技9F", u"【A0】技A0", u"【A1】技A1", u"【A2】技A2",
    u"【A3】技A3", u"【A4】技A4", u"【A5】技A5",
};

// Spells: school (by list position) and code; D4 to D7 belong to no school.
constexpr std::array<std::u16string_view, 41> kSpells = {
    u"【FF】なし",       u"【AB】蒼龍の術AB", u"【AC】蒼龍の術AC", u"【AD】蒼龍の術AD",
    u"【AE】蒼龍の術AE", u"【AF】蒼龍の術AF", u"【B0】蒼龍の術B0", u"【B2】朱鳥の術B2",
    u"【B3】朱鳥の術B3", u"【B4】朱鳥の術B4", u"【B5】朱鳥の術B5", u"【B6】朱鳥の術B6",
    u"【B7】朱鳥の術B7", u"【B9】白虎の術B9", u"【BA】白虎の術BA", u"【BB】白虎の術BB",
    u"【BC】白虎の術BC", u"【BD】白虎の術BD", u"【BE】白虎の術BE", u"【C0】玄武の術C0",
    u"【C1】玄武の術C1", u"【C2】玄武の術C2", u"【C3】玄武の術C3", u"【C4】玄武の術C4",
    u"【C5】玄武の術C5", u"【C7】太陽の術C7", u"【C8】太陽の術C8", u"【C9】太陽の術C9",
    u"【CA】太陽の術CA", u"【CB】太陽の術CB", u"【CC】太陽の術CC", u"【CE】月の術CE",
    u"【CF】月の術CF",   u"【D0】月の術D0",   u"【D1】月の術D1",   u"【D2】月の術D2",
    u"【D3】月の術D3",   u"【D4】術D4",       u"【D5】術D5",       u"【D6】術D6",
    u"【D7】術D7",
};

// Items 00-06, weapons by kind 08-4B, shields 50-5F.
constexpr std::array<std::u16string_view, 90> kWeapons = {
    u"【FF】なし",
    u"【00】道具00",
    u"【01】道具01",
    u"【02】道具02",
    u"【03】道具03",
    u"【04】道具04",
    u"【05】道具05",
    u"【06】道具06",
    u"【08】剣08",
    u"【09】剣09",
    u"【0A】剣0A",
    u"【0B】剣（曲刀）0B",
    u"【0C】剣（曲刀）0C",
    u"【0D】剣0D",
    u"【0E】剣0E",
    u"【0F】剣0F",
    u"【10】剣10",
    u"【11】剣11",
    u"【12】剣12",
    u"【13】剣13",
    u"【14】大剣14",
    u"【15】大剣15",
    u"【17】大剣（剣技可能）17",
    u"【18】大剣18",
    u"【19】大剣（刀）19",
    u"【1A】大剣（刀）1A",
    u"【1B】大剣（氷剣）1B",
    u"【1C】大剣（刀）1C",
    u"【1D】大剣1D",
    u"【1E】斧1E",
    u"【1F】斧1F",
    u"【20】斧20",
    u"【21】斧21",
    u"【22】斧22",
    u"【23】斧23",
    u"【24】斧24",
    u"【25】斧25",
    u"【26】棍棒26",
    u"【27】棍棒27",
    u"【28】武器28",
    u"【29】棍棒29",
    u"【2A】棍棒2A",
    u"【2B】棍棒（杖）2B",
    u"【2C】棍棒（杖）2C",
    u"【2D】棍棒（杖）2D",
    u"【2E】棍棒（杖）2E",
    u"【2F】棍棒（杖）2F",
    u"【30】小剣30",
    u"【31】小剣（剣技可能）31",
    u"【32】小剣32",
    u"【33】小剣（剣技可能）33",
    u"【34】小剣34",
    u"【35】小剣35",
    u"【36】小剣36",
    u"【37】小剣37",
    u"【39】槍39",
    u"【3A】槍3A",
    u"【3B】槍（三椏）3B",
    u"【3C】槍（矛槍）3C",
    u"【3D】槍（三椏）3D",
    u"【3E】槍（三椏）3E",
    u"【3F】槍3F",
    u"【40】槍（矛槍）40",
    u"【41】槍41",
    u"【42】槍（矛槍）42",
    u"【43】弓43",
    u"【44】弓44",
    u"【45】弓45",
    u"【46】弓46",
    u"【47】弓47",
    u"【48】弓48",
    u"【49】弓49",
    u"【4A】弓4A",
    u"【4B】弓4B",
    u"【50】盾50",
    u"【51】盾51",
    u"【52】盾52",
    u"【53】盾53",
    u"【54】盾54",
    u"【55】盾55",
    u"【56】盾56",
    u"【57】盾57",
    u"【58】盾58",
    u"【59】盾59",
    u"【5A】盾5A",
    u"【5B】盾5B",
    u"【5C】盾5C",
    u"【5D】盾5D",
    u"【5E】盾5E",
    u"【5F】盾5F",
};

// Armour by category: 全身鎧, 鎧, 服, 兜, 小手, 靴, 法衣, 装飾品; 防具 where none.
constexpr std::array<std::u16string_view, 100> kArmour = {
    u"【FF】なし",     u"【60】鎧60",     u"【61】鎧61",     u"【62】鎧62",     u"【63】鎧63",
    u"【64】鎧64",     u"【65】鎧65",     u"【66】鎧66",     u"【67】鎧67",     u"【68】鎧68",
    u"【69】鎧69",     u"【6A】鎧6A",     u"【6B】鎧6B",     u"【6C】鎧6C",     u"【6D】鎧6D",
    u"【6E】鎧6E",     u"【6F】鎧6F",     u"【70】防具70",   u"【71】防具71",   u"【72】服72",
    u"【73】鎧73",     u"【74】鎧74",     u"【75】鎧75",     u"【77】鎧77",     u"【86】服86",
    u"【87】鎧87",     u"【88】鎧88",     u"【90】鎧90",     u"【91】鎧91",     u"【92】鎧92",
    u"【95】鎧95",     u"【96】鎧96",     u"【97】鎧97",     u"【98】鎧98",     u"【99】鎧99",
    u"【9A】鎧9A",     u"【9B】鎧9B",     u"【9C】鎧9C",     u"【9D】鎧9D",     u"【9E】鎧9E",
    u"【9F】法衣9F",   u"【A0】全身鎧A0", u"【A1】全身鎧A1", u"【A2】全身鎧A2", u"【A3】全身鎧A3",
    u"【A4】全身鎧A4", u"【A5】全身鎧A5", u"【A6】全身鎧A6", u"【A8】服A8",     u"【A9】服A9",
    u"【AA】服AA",     u"【AB】服AB",     u"【AD】服AD",     u"【AE】服AE",     u"【AF】服AF",
    u"【B0】兜B0",     u"【B1】兜B1",     u"【B2】兜B2",     u"【B3】兜B3",     u"【B4】兜B4",
    u"【B5】兜B5",     u"【B6】兜B6",     u"【B7】兜B7",     u"【B8】小手B8",   u"【B9】小手B9",
    u"【BA】小手BA",   u"【BB】小手BB",   u"【BC】小手BC",   u"【BD】小手BD",   u"【BE】小手BE",
    u"【BF】小手BF",   u"【C0】靴C0",     u"【C1】靴C1",     u"【C3】靴C3",     u"【C4】靴C4",
    u"【C5】靴C5",     u"【C6】靴C6",     u"【C7】靴C7",     u"【C8】装飾品C8", u"【C9】装飾品C9",
    u"【CA】装飾品CA", u"【CB】装飾品CB", u"【CC】装飾品CC", u"【CD】装飾品CD", u"【CE】装飾品CE",
    u"【CF】装飾品CF", u"【D0】装飾品D0", u"【D1】装飾品D1", u"【D2】装飾品D2", u"【D3】装飾品D3",
    u"【D4】装飾品D4", u"【D5】装飾品D5", u"【D6】装飾品D6", u"【D9】装飾品D9", u"【DA】装飾品DA",
    u"【DB】装飾品DB", u"【DC】装飾品DC", u"【DD】装飾品DD", u"【DE】装飾品DE", u"【DF】装飾品DF",
};

constexpr std::array<std::u16string_view, 11> kFormations = {
    u"【00】なし",   u"【01】陣形01", u"【02】陣形02", u"【03】陣形03",
    u"【04】陣形04", u"【05】陣形05", u"【06】陣形06", u"【07】陣形07",
    u"【08】陣形08", u"【09】陣形09", u"【0A】陣形0A"};

// Not in code order: the warnings address this list by position.
constexpr std::array<std::u16string_view, 16> kExclusiveWeapons = {
    u"【FF】なし",         u"【00】剣",
    u"【08】剣（曲刀）",   u"【80】大剣",
    u"【88】大剣（刀）",   u"【90】大剣（剣技可能）",
    u"【B8】大剣（氷剣）", u"【20】斧",
    u"【28】棍棒",         u"【30】棍棒(杖)",
    u"【10】小剣",         u"【18】小剣(剣技可能)",
    u"【98】槍",           u"【A0】槍（矛槍）",
    u"【A8】槍（三椏）",   u"【B0】弓"};

constexpr std::array<std::u16string_view, 9> kCommanderTypes = {
    u"【00】物理",         u"【01】術(主に蒼龍)", u"【02】術(主に朱鳥)",
    u"【03】術(主に白虎)", u"【04】術(主に玄武)", u"【05】術(主に太陽)",
    u"【06】術(主に月)",   u"【07】物理と術",     u"【08】専用パターン"};

// Every entry of a coded list carries its code, and no code appears twice in one list.
template <std::size_t N>
consteval bool WellCoded(const std::array<std::u16string_view, N>& entries) {
  for (std::size_t i = 0; i < N; ++i) {
    const auto code = EntryCode(entries[i]);
    if (!code) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (EntryCode(entries[j]) == code) return false;
    }
  }
  return true;
}

// Codes strictly ascending from position `from` on (the empty entry may lead).
template <std::size_t N>
consteval bool Ascending(const std::array<std::u16string_view, N>& entries, std::size_t from) {
  for (std::size_t i = from + 1; i < N; ++i) {
    if (!(*EntryCode(entries[i - 1]) < *EntryCode(entries[i]))) return false;
  }
  return true;
}

static_assert(WellCoded(kInspirationTypes) && Ascending(kInspirationTypes, 0));
static_assert(WellCoded(kTechniques) && Ascending(kTechniques, 1));
static_assert(WellCoded(kSpells) && Ascending(kSpells, 1));
static_assert(WellCoded(kWeapons) && Ascending(kWeapons, 1));
static_assert(WellCoded(kArmour) && Ascending(kArmour, 1));
static_assert(WellCoded(kFormations) && Ascending(kFormations, 0));
static_assert(WellCoded(kExclusiveWeapons));
static_assert(WellCoded(kCommanderTypes) && Ascending(kCommanderTypes, 0));
static_assert(*EntryCode(kTechniques[0]) == kEmptySlotCode &&
              *EntryCode(kSpells[0]) == kEmptySlotCode &&
              *EntryCode(kWeapons[0]) == kEmptySlotCode &&
              *EntryCode(kArmour[0]) == kEmptySlotCode &&
              *EntryCode(kExclusiveWeapons[0]) == kEmptySlotCode);

}  // namespace

std::span<const std::u16string_view> ListEntries(ListId list) {
  switch (list) {
    case ListId::kGender:
      return kGenders;
    case ListId::kDestinyStar:
      return kDestinyStars;
    case ListId::kFavouriteWeapon:
      return kFavouriteWeapons;
    case ListId::kInspirationType:
      return kInspirationTypes;
    case ListId::kTechnique:
      return kTechniques;
    case ListId::kSpell:
      return kSpells;
    case ListId::kWeapon:
      return kWeapons;
    case ListId::kArmour:
      return kArmour;
    case ListId::kFormation:
      return kFormations;
    case ListId::kExclusiveWeapon:
      return kExclusiveWeapons;
    case ListId::kCommanderType:
      return kCommanderTypes;
  }
  return {};
}

bool IsCodedList(ListId list) {
  return list != ListId::kGender && list != ListId::kDestinyStar &&
         list != ListId::kFavouriteWeapon;
}

std::optional<std::uint8_t> CodeAt(ListId list, int position) {
  const auto entries = ListEntries(list);
  if (!IsCodedList(list) || position < 0 || static_cast<std::size_t>(position) >= entries.size()) {
    return std::nullopt;
  }
  return EntryCode(entries[static_cast<std::size_t>(position)]);
}

std::optional<int> PositionOfCode(ListId list, std::uint8_t code) {
  if (!IsCodedList(list)) return std::nullopt;
  const auto entries = ListEntries(list);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (EntryCode(entries[i]) == code) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace kavelin::sheet
