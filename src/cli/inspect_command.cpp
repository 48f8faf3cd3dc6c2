// kavelin-cli inspect: reading a patch back as a summary, or as a sheet file with its
// palette words.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/entry_names.hpp"
#include "cli/patch_input.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kInspectUsage =
    "usage: kavelin-cli inspect PATCH.k7p [--json]\n"
    "\n"
    "Reads a patch back: its name, job name, gender, every section it carries with its\n"
    "lock and values, and its comment. --json prints it as a character sheet file, with\n"
    "the 16 palette words added, ready for make --sheet. A malformed patch is reported\n"
    "with the offset of the first bad byte. Entries named in kavelin-names.tsv show\n"
    "their names (see names --help).\n"
    "\n"
    "Exit status: 0 read, 2 unreadable or malformed patch, or bad arguments.\n";

// With the user's name of a coded entry, when the names files give one.
std::string Entry(sheet::ListId list, int position) {
  return EntryText(list, position);
}

template <std::size_t N>
std::string Values(const std::array<std::u16string_view, N>& captions,
                   const std::array<std::u16string, N>& values) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) out += ", ";
    out += Utf8(captions[i]);
    out += ' ';
    out += Utf8(values[i]);
  }
  return out;
}

void PrintSummary(const patch::PatchContents& contents) {
  using sheet::ListId;
  using sheet::Section;
  const sheet::CharacterSheet& s = contents.sheet;
  std::cout << "名前: " << Utf8(s.name) << '\n'
            << "職業名: " << Utf8(s.jobName) << '\n'
            << "性別: " << Entry(ListId::kGender, s.gender) << '\n';
  const auto header = [&s](Section section) {
    const auto i = static_cast<std::size_t>(section);
    std::cout << Utf8(sheet::kSectionCaptions[i]) << (s.flags[i].locked ? " (変更禁止)" : "")
              << ":\n";
  };
  if (s.Enabled(Section::kBasicStatus)) {
    header(Section::kBasicStatus);
    const auto& b = s.basicStatus;
    std::cout << "  " << Values(sheet::kStatCaptions, b.stats) << '\n'
              << "  LP " << Utf8(b.lp) << ", 宿星 " << Entry(ListId::kDestinyStar, b.destinyStar)
              << ", 得意武器 " << Entry(ListId::kFavouriteWeapon, b.favouriteWeapon)
              << ", 閃きタイプ " << Entry(ListId::kInspirationType, b.inspirationType) << '\n';
  }
  if (s.Enabled(Section::kInitialLevels)) {
    header(Section::kInitialLevels);
    const auto& l = s.initialLevels;
    std::cout << "  ";
    for (std::size_t i = 0; i < l.levels.size(); ++i) {
      std::cout << (i ? ", " : "") << Utf8(sheet::kLevelCaptions[i]) << " " << Utf8(l.levels[i])
                << (l.grows[i] ? " (成長)" : "");
    }
    std::cout << "\n  地術 " << Utf8(sheet::kEarthSchools[static_cast<std::size_t>(l.earthSchool)])
              << ", 天術 " << Utf8(sheet::kHeavenSchools[static_cast<std::size_t>(l.heavenSchool)])
              << '\n';
  }
  if (s.Enabled(Section::kInitialArts)) {
    header(Section::kInitialArts);
    for (const int p : s.initialArts.techniques)
      std::cout << "  技 " << Entry(ListId::kTechnique, p) << '\n';
    for (const int p : s.initialArts.spells)
      std::cout << "  術 " << Entry(ListId::kSpell, p) << '\n';
  }
  if (s.Enabled(Section::kInitialEquipment)) {
    header(Section::kInitialEquipment);
    for (const int p : s.initialEquipment.weapons)
      std::cout << "  武器 " << Entry(ListId::kWeapon, p) << '\n';
    for (const int p : s.initialEquipment.armour)
      std::cout << "  防具 " << Entry(ListId::kArmour, p) << '\n';
  }
  if (s.Enabled(Section::kForbiddenSpells)) {
    header(Section::kForbiddenSpells);
    std::string schools;
    for (std::size_t i = 0; i < sheet::kSpellSchoolCount; ++i) {
      if (!s.forbiddenSpells.forbiddenSchools[i]) continue;
      schools += ' ';
      schools += Utf8(sheet::kSpellSchools[i]);
    }
    std::cout << " " << (schools.empty() ? " なし" : schools) << '\n';
  }
  if (s.Enabled(Section::kOtherTraits)) {
    header(Section::kOtherTraits);
    const auto& o = s.otherTraits;
    std::cout << "  固有陣形 " << Entry(ListId::kFormation, o.formation) << '\n'
              << "  専用武器 " << Entry(ListId::kExclusiveWeapon, o.exclusiveWeapon) << '\n'
              << "  コマンダー " << Entry(ListId::kCommanderType, o.commanderType) << '\n';
  }
  if (s.Enabled(Section::kGrowthRates)) {
    header(Section::kGrowthRates);
    std::cout << "  " << Values(sheet::kGrowthRateCaptions, s.growthRates.growthRates) << '\n';
  }
  if (!s.comment.empty()) {
    std::cout << "コメント:\n";
    PrintLines(std::cout, s.comment);
  }
}

}  // namespace

int RunInspect(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--json", "--help"}, {});
  if (args.Has("--help")) {
    std::cout << kInspectUsage;
    return kSuccess;
  }
  if (!args.error.empty()) return Fail(kFailure, args.error + "\n" + std::string(kInspectUsage));
  if (args.positional.size() != 1)
    return Fail(kFailure, "inspect needs one PATCH\n" + std::string(kInspectUsage));
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  if (!args.Has("--json")) {
    PrintSummary(*contents);
    return kSuccess;
  }
  // The sheet file, with the palette words as the patch stores them.
  sheet::SheetDocument document;
  document.sheet = contents->sheet;
  auto json = nlohmann::ordered_json::parse(sheet::WriteSheetFile(document));
  auto words = nlohmann::ordered_json::array();
  for (const auto w : contents->paletteWords) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", static_cast<unsigned>(w));
    words.push_back(buffer);
  }
  json["paletteWords"] = words;
  std::cout << json.dump(2) << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
