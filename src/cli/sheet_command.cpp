// kavelin-cli sheet: a fresh sheet file, or the one a patch holds, as a starting point.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/patch_input.hpp"
#include "patch/template_export.hpp"
#include "sheet/sheet_file.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli sheet [--from PATCH.k7p] [-o|--output SHEET.k7c] [--force]\n"
      "\n"
      "Prints a fresh character sheet file, or the sheet a patch holds, as a starting point\n"
      "to edit for make --sheet. From a patch, paletteSwaps restore the patch's palette\n"
      "order on the template that export draws, so that make gives the patch again.\n"
      "-o writes the sheet file to SHEET.k7c instead, and prints its name: an existing\n"
      "sheet file is replaced whole; any other file there, or a symbolic link, only with\n"
      "--force, and never the patch it was read from.\n"
      "\n"
      "Exit status: 0 printed or written, 2 unreadable or malformed patch, bad arguments or\n"
      "a file in the way, 4 the file or the standard output could not be written.\n");
}

}  // namespace

int RunSheet(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help", "--force"}, {"--from", "--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  if (!args.error.empty() || !args.positional.empty()) {
    return Fail(kFailure,
                (args.error.empty() ? Tr("sheet takes no TEMPLATE") : args.error) + "\n" + Usage());
  }
  const auto output = args.Value("--output");
  if (output && RefuseEmptyName(args.Spelling("--output"), *output)) return kFailure;
  sheet::SheetDocument document;
  const auto from = args.Value("--from");
  if (from) {
    const auto contents = ReadPatch(*from);
    if (!contents) return kFailure;
    document.sheet = contents->sheet;
    document.paletteSwaps =
        patch::ExportTemplate(contents->paletteWords, contents->tiles).paletteSwaps;
  }
  const std::string file = sheet::WriteSheetFile(document);
  if (output) {
    std::vector<std::filesystem::path> inputs;
    if (from) inputs.emplace_back(*from);
    return WriteOutputFile(args, file, command::OutputKind::kSheet, true, std::move(inputs));
  }
  std::cout << file;
  return kSuccess;
}

}  // namespace kavelin::cli
