// kavelin-cli sheet: a fresh sheet file, or the one a patch holds, as a starting point.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/patch_input.hpp"
#include "patch/template_export.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kSheetUsage =
    "usage: kavelin-cli sheet [--from PATCH.k7p]\n"
    "\n"
    "Prints a fresh character sheet file, or the sheet a patch holds, as a starting point\n"
    "to edit for make --sheet. From a patch, paletteSwaps restore the patch's palette\n"
    "order on the template that export draws, so that make gives the patch again.\n"
    "\n"
    "Exit status: 0 printed, 2 unreadable or malformed patch, or bad arguments.\n";

}  // namespace

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

}  // namespace kavelin::cli
