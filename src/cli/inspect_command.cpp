// kavelin-cli inspect and sheet: reading a patch back, as a summary or as a sheet file.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "command/output_plan.hpp"
#include "image/encoder.hpp"
#include "patch/atomic_file.hpp"
#include "patch/patch_reader.hpp"
#include "patch/patch_writer.hpp"
#include "patch/template_export.hpp"
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
    "with the offset of the first bad byte.\n"
    "\n"
    "Exit status: 0 read, 2 unreadable or malformed patch, or bad arguments.\n";

constexpr std::string_view kExportUsage =
    "usage: kavelin-cli export PATCH.k7p -o TEMPLATE.gif|.bmp|.png\n"
    "\n"
    "Draws the sprite a patch holds back into a template (176 x 132, the cells with the\n"
    "one-pixel margin), in colours whose SNES form is the patch's palette. With the sheet\n"
    "of sheet --from, make on that template gives the patch again, byte for byte. PNG is\n"
    "for viewing; make reads GIF and BMP. An existing TEMPLATE is replaced whole.\n"
    "\n"
    "Exit status: 0 written, 2 unreadable patch or bad arguments, 4 the file could not be\n"
    "written.\n";

constexpr std::string_view kSheetUsage =
    "usage: kavelin-cli sheet [--from PATCH.k7p]\n"
    "\n"
    "Prints a fresh character sheet file, or the sheet a patch holds, as a starting point\n"
    "to edit for make --sheet. From a patch, paletteSwaps restore the patch's palette\n"
    "order on the template that export draws, so that make gives the patch again.\n"
    "\n"
    "Exit status: 0 printed, 2 unreadable or malformed patch, or bad arguments.\n";

// A patch holds at most the fixed part, 77 bytes of sections and a comment of 65,535
// double-byte characters; anything much larger is no patch.
constexpr std::size_t kMaxPatchBytes = 1u << 20;

std::optional<patch::PatchContents> ReadPatch(const std::string& path) {
  const FileBytes file = ReadWholeFile(path, kMaxPatchBytes);
  if (!file.error.empty()) {
    Fail(kFailure, file.error);
    return std::nullopt;
  }
  const auto read = patch::ReadPatchFile(file.bytes, LoadCodeTable());
  if (!read.ok) {
    Fail(kFailure, path + ": offset " + std::to_string(read.offset) + ": " + read.reason);
    return std::nullopt;
  }
  return read.contents;
}

std::string Entry(sheet::ListId list, int position) {
  return Utf8(sheet::ListEntries(list)[static_cast<std::size_t>(position)]);
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
    for (std::size_t i = 0; i < 6; ++i) {
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
  auto json = nlohmann::ordered_json::parse(sheet::WriteSheetFile({contents->sheet, {}}));
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

int RunSheet(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {"--from"});
  if (args.Has("--help")) {
    std::cout << kSheetUsage;
    return kSuccess;
  }
  if (!args.error.empty() || !args.positional.empty()) {
    return Fail(kFailure, (args.error.empty() ? "sheet takes no TEMPLATE" : args.error) + "\n" +
                              std::string(kSheetUsage));
  }
  sheet::SheetDocument document;
  if (const auto from = args.Value("--from")) {
    const auto contents = ReadPatch(*from);
    if (!contents) return kFailure;
    document.sheet = contents->sheet;
    document.paletteSwaps =
        patch::ExportTemplate(contents->paletteWords, contents->tiles).paletteSwaps;
  }
  std::cout << sheet::WriteSheetFile(document);
  return kSuccess;
}

int RunExport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {"-o", "--output"});
  if (args.Has("--help")) {
    std::cout << kExportUsage;
    return kSuccess;
  }
  if (args.Has("-o") && args.Has("--output")) {
    return Fail(kFailure,
                "-o and --output name the same thing; give one\n" + std::string(kExportUsage));
  }
  const auto output = args.Value("-o") ? args.Value("-o") : args.Value("--output");
  if (!args.error.empty() || args.positional.size() != 1 || !output) {
    return Fail(kFailure,
                (args.error.empty() ? "export needs one PATCH and -o TEMPLATE" : args.error) +
                    "\n" + std::string(kExportUsage));
  }
  const std::filesystem::path outputs[] = {*output}, inputs[] = {args.positional[0]};
  if (!command::CheckPlannedOutputs(outputs, inputs)) {
    return Fail(kFailure, Shown(*output) + ": the template would be written over its patch; " +
                              "nothing was written");
  }
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  const auto exported = patch::ExportTemplate(contents->paletteWords, contents->tiles);
  const auto bytes = image::EncodeImageFile(exported.raster, *output);
  if (!bytes) return Fail(kFailure, *output + ": the template must be named .gif, .bmp or .png");
  const auto written = patch::WriteFileAtomically(*output, *bytes);
  if (!written.ok) {
    return Fail(kWriteFailed, Shown(*output) + ": " + Utf8(patch::FileErrorReason(written.error)));
  }
  std::cout << *output << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
