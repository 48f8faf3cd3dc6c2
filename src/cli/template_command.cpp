// kavelin-cli template: a blank template to draw a character into.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "image/blank_template.hpp"
#include "image/encoder.hpp"
#include "io/atomic_file.hpp"
#include "patch/patch_writer.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kTemplateUsage =
    "usage: kavelin-cli template -o TEMPLATE.gif|.bmp|.png\n"
    "\n"
    "Writes a blank template, 176 x 132 pixels: the 23 sprite cells in one backdrop\n"
    "colour, the gaps between them and the outer margin in grey. Draw the character\n"
    "into the cells with at most 15 colours; the file loads as a template as it is.\n"
    "An existing file of that name is replaced only by the complete new one.\n"
    "\n"
    "Exit status: 0 written, 2 bad arguments, 4 the file could not be written.\n";

}  // namespace

int RunTemplate(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {"-o", "--output"});
  if (args.Has("--help")) {
    std::cout << kTemplateUsage;
    return kSuccess;
  }
  if (args.Has("-o") && args.Has("--output")) {
    return Fail(kFailure,
                "-o and --output name the same thing; give one\n" + std::string(kTemplateUsage));
  }
  const auto output = args.Value("-o") ? args.Value("-o") : args.Value("--output");
  if (!args.error.empty() || !args.positional.empty() || !output) {
    return Fail(kFailure,
                (args.error.empty() ? "template needs -o TEMPLATE and nothing else" : args.error) +
                    "\n" + std::string(kTemplateUsage));
  }
  const std::filesystem::path file = *output;
  std::error_code error;
  if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error))
    return Fail(kFailure, Shown(file) + ": not a regular file, so it is not replaced");
  const auto bytes = image::EncodeImageFile(image::BlankTemplate(), file);
  if (!bytes)
    return Fail(kFailure, Shown(file) + ": the template must be named .gif, .bmp or .png");
  const auto written = io::WriteFileAtomically(file, *bytes);
  if (!written.ok)
    return Fail(kWriteFailed, Shown(file) + ": " + Utf8(patch::FileErrorReason(written.error)));
  std::cout << Shown(file) << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
