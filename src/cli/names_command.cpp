// kavelin-cli names: the active names table, in the names file's own format.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/entry_names.hpp"
#include "text/encoding.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli names [-o|--output NAMES.tsv] [--force]\n"
      "\n"
      "Prints the name of every entry of every coded list (383 lines), as a names file\n"
      "holds them: LIST<TAB>CODE<TAB>NAME. Names come from kavelin-names.tsv beside the\n"
      "program, then from ~/.config/kavelin/kavelin-names.tsv, which overrides it entry by\n"
      "entry; entries neither names keep their built-in names. Bad lines of those files are\n"
      "reported on stderr and skipped. -o writes the lines to NAMES.tsv instead, and prints\n"
      "its name; a file already there is replaced only with --force, and never a names file\n"
      "this run reads. To start a names file:\n"
      "\n"
      "    kavelin-cli names -o ~/.config/kavelin/kavelin-names.tsv\n"
      "\n"
      "Exit status: 0 printed or written, 2 bad arguments or a file in the way, 4 the file or\n"
      "the standard output could not be written.\n");
}

}  // namespace

const sheet::NamesTable& EntryNames() {
  static const sheet::NamesTable table = [] {
    auto load = sheet::LoadNamesTable();
    for (const auto& problem : load.problems)
      std::cerr << "kavelin-cli: " << Printable(sheet::ProblemText(problem)) << '\n';
    return std::move(load.table);
  }();
  return table;
}

std::string EntryText(sheet::ListId list, int position) {
  return text::ToUtf8(EntryNames().DisplayText(list, position));
}

int RunNames(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help", "--force"}, {"--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  if (!args.error.empty() || !args.positional.empty()) {
    return Fail(kFailure, (args.error.empty() ? Tr("names takes no arguments") : args.error) +
                              "\n" + Usage());
  }
  const auto output = args.Value("--output");
  if (output && RefuseEmptyName(args.Spelling("--output"), *output)) return kFailure;
  const std::string file = sheet::WriteNamesFile(EntryNames());
  // A names file is plain text, so nothing tells one there from any other file: each
  // needs --force.
  if (output) return WriteOutputFile(args, file, command::OutputKind::kSheet, false);
  std::cout << file;
  return kSuccess;
}

}  // namespace kavelin::cli
