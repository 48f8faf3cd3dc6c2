// kavelin-cli: the program's headless front end.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "text/code_table.hpp"
#include "text/encoding.hpp"
#include "text/settings_file.hpp"

namespace {

using namespace kavelin;

constexpr std::string_view kUsage =
    "usage: kavelin-cli encode TEXT...\n"
    "\n"
    "Shows the game codes of each TEXT as the patch would store them, using the extended\n"
    "characters of KV7Tools.ini in this program's folder when it is there.\n"
    "\n"
    "Exit status: 0 every text encoded, 1 some text has a character the game lacks,\n"
    "2 usage error.\n";

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char buffer[4];
  for (const auto b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", b);
    if (!out.empty()) out += ' ';
    out += buffer;
  }
  return out;
}

int Encode(int argc, char** argv) {
  text::CodeTable table;
  text::LoadExtendedRows(table, text::FamilySettingsPath());
  int exitCode = 0;
  for (int i = 0; i < argc; ++i) {
    const auto input = text::FromUtf8(argv[i]);
    if (!input) {
      std::cerr << "kavelin-cli: argument " << i + 1 << " is not valid UTF-8\n";
      return 2;
    }
    const auto result = text::EncodeGameText(table, *input);
    std::cout << argv[i] << '\t';
    switch (result.status) {
      case text::EncodeStatus::kEncoded:
        std::cout << Hex(result.bytes) << '\n';
        break;
      case text::EncodeStatus::kExtended:
        std::cout << Hex(result.bytes) << "\t(extended characters)\n";
        break;
      case text::EncodeStatus::kUnencodable:
        std::cout << "not encodable: 「" << text::ToUtf8(result.rejected) << "」\n";
        exitCode = 1;
        break;
    }
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "encode" && argc > 2) return Encode(argc - 2, argv + 2);
  std::cerr << kUsage;
  return 2;
}
