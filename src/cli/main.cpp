// kavelin-cli: the program's headless front end, over the same core road as the window.
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <string_view>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/message_catalogues.hpp"
#include "command/memory.hpp"
#include "io/atomic_file.hpp"

namespace {

std::string Usage() {
  return kavelin::text::Tr(
      "usage: kavelin-cli [--ini SETTINGS] COMMAND [ARGS]\n"
      "       kavelin-cli --version | --help\n"
      "\n"
      "Commands:\n"
      "  make TEMPLATE... [--sheet SHEET.k7c] [--yes] [-o|--output PATCH] [--force]\n"
      "                   [--watch]\n"
      "                     make a character's patch from a template image; --watch\n"
      "                     makes it again at each save\n"
      "  inspect PATCH [--json] [-o|--output FILE] [--force]\n"
      "                     show what a patch holds\n"
      "  sheet [--from PATCH] [-o|--output SHEET.k7c] [--force]\n"
      "                     print a character sheet file to edit\n"
      "  export PATCH -o|--output TEMPLATE [--force]\n"
      "                     draw a patch's sprite back into a template image\n"
      "  encode TEXT...     show the game codes of a text\n"
      "  template -o|--output TEMPLATE [--force]\n"
      "                     write a blank template to draw into\n"
      "  names [-o|--output NAMES.tsv] [--force]\n"
      "                     print every list entry's name, as kavelin-names.tsv holds them\n"
      "\n"
      "Every command that writes a file names it with -o or --output, and replaces a file\n"
      "of another kind there only with --force.\n"
      "\n"
      "Options:\n"
      "  --ini SETTINGS     read this KV7Tools.ini instead of the one beside the program\n"
      "                     or in ~/.config/kavelin\n"
      "  --version          print the version\n"
      "\n"
      "kavelin-cli COMMAND --help tells more; man kavelin-cli tells all.\n");
}

int Dispatch(std::string_view command, int argc, char** argv) {
  using namespace kavelin::cli;
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << Usage();
    return FinishOutput(kSuccess);
  }
  if (command == "make") return FinishOutput(RunMake(argc - 2, argv + 2));
  if (command == "inspect") return FinishOutput(RunInspect(argc - 2, argv + 2));
  if (command == "sheet") return FinishOutput(RunSheet(argc - 2, argv + 2));
  if (command == "export") return FinishOutput(RunExport(argc - 2, argv + 2));
  if (command == "encode") return FinishOutput(RunEncode(argc - 2, argv + 2));
  if (command == "template") return FinishOutput(RunTemplate(argc - 2, argv + 2));
  if (command == "names") return FinishOutput(RunNames(argc - 2, argv + 2));
  if (!command.empty()) Fail(kFailure, Format(Tr("unknown command %s"), Printable(command)));
  std::cerr << Usage();
  return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit must fail the write, which the writer reports, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // An interrupted batch takes its staged patches with it.
  kavelin::io::RemoveTemporariesOnSignals();
  kavelin::command::KeepFreedMemoryForReuse();

  using namespace kavelin::cli;
  // Every word from here on is in the user's language.
  kavelin::text::StartTranslations(CatalogueFolder());
  // Options before the command belong to the whole program; they are taken off, so that
  // each command sees its own arguments as before.
  while (argc > 1) {
    const std::string_view option = argv[1];
    if (option == "--version") {
      std::cout << "kavelin-cli " KAVELIN_VERSION "\n";
      return kSuccess;
    }
    if (option != "--ini") break;
    if (argc < 3) return Fail(kFailure, Format(Tr("%s needs a value"), "--ini"));
    if (UseSettingsFile(argv[2]) != kSuccess) return kFailure;
    argc -= 2;
    argv += 2;
  }
  const std::string_view command = argc > 1 ? argv[1] : "";
  NameSettingsFileWhenLoaded(command == "make" || command == "encode");
  // Any throw that escapes a command becomes a message and an exit code, never an abort.
  try {
    return Dispatch(command, argc, argv);
  } catch (const std::filesystem::filesystem_error& e) {
    return Fail(kFailure, Shown(e.path1()) + ": " + Printable(e.code().message()));
  } catch (const std::bad_alloc&) {
    return Fail(kWriteFailed, Tr("there was not enough memory; nothing was written"));
  } catch (const std::exception& e) {
    return Fail(kFailure, Printable(e.what()));
  }
}
