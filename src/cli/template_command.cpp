// kavelin-cli template: a blank template to draw a character into.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "command/save_file.hpp"
#include "image/blank_template.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli template -o|--output TEMPLATE.gif|.bmp|.png [--force]\n"
      "\n"
      "Writes a blank template, 176 x 132 pixels: the 23 sprite cells in one backdrop\n"
      "colour, the gaps between them and the outer margin in grey. Draw the character\n"
      "into the cells with at most 15 colours; the file loads as a template as it is.\n"
      "An existing file of that name is kept unless --force is given; then it is replaced\n"
      "only by the complete new one (a symbolic link is written through to its file).\n"
      "\n"
      "Exit status: 0 written, 2 bad arguments or a file in the way, 4 the file could not\n"
      "be written (a folder, device or pipe there is never replaced).\n");
}

}  // namespace

int RunTemplate(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help", "--force"}, {"--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  const auto output = args.Value("--output");
  if (!args.error.empty() || !args.positional.empty() || !output) {
    return Fail(kFailure, (args.error.empty() ? Tr("template needs -o TEMPLATE and nothing else")
                                              : args.error) +
                              "\n" + Usage());
  }
  if (RefuseEmptyName(args.Spelling("--output"), *output)) return kFailure;
  const auto kind = command::ImageKindOfName(*output);
  if (!kind)
    return Fail(kFailure,
                Format(Tr("%s: the template must be named .gif, .bmp or .png"), Shown(*output)));
  // A blank picture is worth nothing next to whatever is there, even another template.
  const std::filesystem::path file =
      PrepareOutput(*output, *kind, args.Has("--force"), /*sameKindReplaces=*/false);
  if (file.empty()) return kFailure;
  const io::WriteOutcome written = command::ExportImage(image::BlankTemplate(), *output, file);
  if (!written) return FailExport(file, written.Why());
  std::cout << Shown(*output) << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
