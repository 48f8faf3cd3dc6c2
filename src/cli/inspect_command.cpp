// kavelin-cli inspect: reading a patch back as a summary, or as a sheet file with its
// palette words.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/entry_names.hpp"
#include "cli/patch_input.hpp"
#include "sheet/catalogue.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli inspect PATCH.k7p [--json] [-o|--output FILE] [--force]\n"
      "\n"
      "Reads a patch back: its name, job name, gender, every section it carries with its\n"
      "lock and values, and its comment. --json prints it as a character sheet file, with\n"
      "the 16 palette words added, ready for make --sheet. A malformed patch is reported\n"
      "with the offset of the first bad byte. Entries named in kavelin-names.tsv show\n"
      "their names (see names --help). -o writes it to FILE instead, and prints its name:\n"
      "with --json an existing sheet file there is replaced whole; any other file, or a\n"
      "symbolic link, only with --force, and never the patch itself.\n"
      "\n"
      "Exit status: 0 read, 2 unreadable or malformed patch, bad arguments or a file in the\n"
      "way, 4 the file or the standard output could not be written.\n");
}

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

void PrintSummary(std::ostream& out, const patch::PatchContents& contents) {
  using sheet::ListId;
  using sheet::Section;
  const sheet::CharacterSheet& s = contents.sheet;
  out << "名前: " << Utf8(s.name) << '\n'
      << "職業名: " << Utf8(s.jobName) << '\n'
      << "性別: " << Entry(ListId::kGender, s.gender) << '\n';
  const auto header = [&s, &out](Section section) {
    const auto i = static_cast<std::size_t>(section);
    out << Utf8(sheet::kSectionCaptions[i]) << (s.flags[i].locked ? " (変更禁止)" : "") << ":\n";
  };
  if (s.Enabled(Section::kBasicStatus)) {
    header(Section::kBasicStatus);
    const auto& b = s.basicStatus;
    out << "  " << Values(sheet::kStatCaptions, b.stats) << '\n'
        << "  LP " << Utf8(b.lp) << ", 宿星 " << Entry(ListId::kDestinyStar, b.destinyStar)
        << ", 得意武器 " << Entry(ListId::kFavouriteWeapon, b.favouriteWeapon) << ", 閃きタイプ "
        << Entry(ListId::kInspirationType, b.inspirationType) << '\n';
  }
  if (s.Enabled(Section::kInitialLevels)) {
    header(Section::kInitialLevels);
    const auto& l = s.initialLevels;
    out << "  ";
    for (std::size_t i = 0; i < l.levels.size(); ++i) {
      out << (i ? ", " : "") << Utf8(sheet::kLevelCaptions[i]) << " " << Utf8(l.levels[i])
          << (l.grows[i] ? " (成長)" : "");
    }
    out << "\n  地術 " << Utf8(sheet::kEarthSchools[static_cast<std::size_t>(l.earthSchool)])
        << ", 天術 " << Utf8(sheet::kHeavenSchools[static_cast<std::size_t>(l.heavenSchool)])
        << '\n';
  }
  if (s.Enabled(Section::kInitialArts)) {
    header(Section::kInitialArts);
    for (const int p : s.initialArts.techniques)
      out << "  技 " << Entry(ListId::kTechnique, p) << '\n';
    for (const int p : s.initialArts.spells)
      out << "  術 " << Entry(ListId::kSpell, p) << '\n';
  }
  if (s.Enabled(Section::kInitialEquipment)) {
    header(Section::kInitialEquipment);
    for (const int p : s.initialEquipment.weapons)
      out << "  武器 " << Entry(ListId::kWeapon, p) << '\n';
    for (const int p : s.initialEquipment.armour)
      out << "  防具 " << Entry(ListId::kArmour, p) << '\n';
  }
  if (s.Enabled(Section::kForbiddenSpells)) {
    header(Section::kForbiddenSpells);
    std::string schools;
    for (std::size_t i = 0; i < sheet::kSpellSchoolCount; ++i) {
      if (!s.forbiddenSpells.forbiddenSchools[i]) continue;
      schools += ' ';
      schools += Utf8(sheet::kSpellSchools[i]);
    }
    out << " " << (schools.empty() ? " なし" : schools) << '\n';
  }
  if (s.Enabled(Section::kOtherTraits)) {
    header(Section::kOtherTraits);
    const auto& o = s.otherTraits;
    out << "  固有陣形 " << Entry(ListId::kFormation, o.formation) << '\n'
        << "  専用武器 " << Entry(ListId::kExclusiveWeapon, o.exclusiveWeapon) << '\n'
        << "  コマンダー " << Entry(ListId::kCommanderType, o.commanderType) << '\n';
  }
  if (s.Enabled(Section::kGrowthRates)) {
    header(Section::kGrowthRates);
    out << "  " << Values(sheet::kGrowthRateCaptions, s.growthRates.growthRates) << '\n';
  }
  if (!s.comment.empty()) {
    out << "コメント:\n";
    PrintLines(out, s.comment);
  }
}

}  // namespace

int RunInspect(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--json", "--help", "--force"}, {"--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  if (!args.error.empty()) return Fail(kFailure, args.error + "\n" + Usage());
  if (args.positional.size() != 1)
    return Fail(kFailure, Tr("inspect needs one PATCH") + "\n" + Usage());
  const auto output = args.Value("--output");
  if (output && RefuseEmptyName(args.Spelling("--output"), *output)) return kFailure;
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  // Printed, or written to the file -o names: only a sheet file replaces a sheet file.
  const auto give = [&](const std::string& text, bool sheetFile) {
    if (!output) {
      std::cout << text;
      return static_cast<int>(kSuccess);
    }
    return WriteOutputFile(args, text, command::OutputKind::kSheet, sheetFile,
                           {args.positional[0]});
  };
  if (!args.Has("--json")) {
    std::ostringstream summary;
    PrintSummary(summary, *contents);
    return give(summary.str(), false);
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
  return give(json.dump(2) + '\n', true);
}

}  // namespace kavelin::cli
