// kavelin-cli encode: the game codes of a text, for checking names and KV7Tools.ini.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "text/encoding.hpp"
#include "text/hex.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli encode TEXT...\n"
      "\n"
      "Shows the game codes of each TEXT as a patch stores them, using the extended\n"
      "characters of the settings file: the one --ini names, else KV7Tools.ini beside\n"
      "this program or in ~/.config/kavelin. Names are widened before they are encoded,\n"
      "so type full-width letters and digits.\n"
      "\n"
      "Exit status: 0 every text encoded, 1 some text has a character the game lacks,\n"
      "2 bad arguments.\n");
}

}  // namespace

int RunEncode(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  if (!args.error.empty() || args.positional.empty()) {
    return Fail(kFailure,
                (args.error.empty() ? Tr("encode needs a TEXT") : args.error) + "\n" + Usage());
  }
  const text::CodeTable codes = LoadCodeTable();
  int exitCode = kSuccess;
  for (std::size_t i = 0; i < args.positional.size(); ++i) {
    const std::string& arg = args.positional[i];
    const auto input = text::FromUtf8(arg);
    if (!input) return Fail(kFailure, Format(Tr("argument %s is not valid UTF-8"), i + 1));
    const auto result = text::EncodeGameText(codes, *input);
    std::cout << Printable(arg) << '\t';
    if (!result) {
      std::cout << Format(Tr("not encodable: 「%s」"),
                          Printable(Utf8(text::RejectedOf(result.Why()))))
                << '\n';
      exitCode = kInputErrors;
    } else if (result->extended) {
      std::cout << text::HexBytes(result->bytes) << "\t(" << Tr("extended characters") << ")\n";
    } else {
      std::cout << text::HexBytes(result->bytes) << '\n';
    }
  }
  return exitCode;
}

}  // namespace kavelin::cli
