// kavelin-cli: the program's headless front end, over the same core road as the window.
#include <csignal>
#include <iostream>
#include <string_view>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "command/memory.hpp"

namespace {

constexpr std::string_view kUsage =
    "usage: kavelin-cli COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  make TEMPLATE [--sheet SHEET.json] [--yes] [--output PATCH]\n"
    "                     make a character's patch from a template image\n"
    "  inspect PATCH [--json]\n"
    "                     show what a patch holds\n"
    "  sheet [--from PATCH]\n"
    "                     print a character sheet file to edit\n"
    "  export PATCH -o TEMPLATE\n"
    "                     draw a patch's sprite back into a template image\n"
    "  encode TEXT...     show the game codes of a text\n"
    "\n"
    "kavelin-cli COMMAND --help tells more.\n";

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit must fail the write, which the writer reports, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  kavelin::command::KeepFreedMemoryForReuse();

  using namespace kavelin::cli;
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return kSuccess;
  }
  if (command == "make") return RunMake(argc - 2, argv + 2);
  if (command == "inspect") return RunInspect(argc - 2, argv + 2);
  if (command == "sheet") return RunSheet(argc - 2, argv + 2);
  if (command == "export") return RunExport(argc - 2, argv + 2);
  if (command == "encode") return RunEncode(argc - 2, argv + 2);
  std::cerr << (command.empty() ? ""
                                : "kavelin-cli: unknown command " + std::string(command) + "\n")
            << kUsage;
  return kFailure;
}
