// kavelin-cli names: the active names table, in the names file's own format.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/entry_names.hpp"
#include "text/encoding.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kNamesUsage =
    "usage: kavelin-cli names\n"
    "\n"
    "Prints the name of every entry of every coded list (383 lines), as a names file\n"
    "holds them: LIST<TAB>CODE<TAB>NAME. Names come from kavelin-names.tsv beside the\n"
    "program, then from ~/.config/kavelin/kavelin-names.tsv, which overrides it entry by\n"
    "entry; entries neither names keep their built-in names. Bad lines of those files are\n"
    "reported on stderr and skipped. To start a names file:\n"
    "\n"
    "    kavelin-cli names > ~/.config/kavelin/kavelin-names.tsv\n"
    "\n"
    "Exit status: 0 printed, 2 bad arguments, 4 the output could not be written.\n";

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
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {});
  if (args.Has("--help")) {
    std::cout << kNamesUsage;
    return kSuccess;
  }
  if (!args.error.empty() || !args.positional.empty()) {
    return Fail(kFailure, (args.error.empty() ? "names takes no arguments" : args.error) + "\n" +
                              std::string(kNamesUsage));
  }
  std::cout << sheet::WriteNamesFile(EntryNames());
  return kSuccess;
}

}  // namespace kavelin::cli
