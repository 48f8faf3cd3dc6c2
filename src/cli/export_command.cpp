// kavelin-cli export: the sprite a patch holds, drawn back into a template.
#include <filesystem>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/patch_input.hpp"
#include "command/output_plan.hpp"
#include "command/save_file.hpp"
#include "patch/template_export.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli export PATCH.k7p -o|--output TEMPLATE.gif|.bmp|.png [--force]\n"
      "\n"
      "Draws the sprite a patch holds back into a template (176 x 132, the cells with the\n"
      "one-pixel margin), in colours whose SNES form is the patch's palette. With the sheet\n"
      "of sheet --from, make on that template gives the patch again, byte for byte, in any\n"
      "of the three formats. An existing picture of the same format is replaced whole; any\n"
      "other file there, or a symbolic link, only with --force.\n"
      "\n"
      "Exit status: 0 written, 2 unreadable patch, bad arguments or a file in the way, 4 the\n"
      "file could not be written.\n");
}

}  // namespace

int RunExport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help", "--force"}, {"--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  const auto output = args.Value("--output");
  if (!args.error.empty() || args.positional.size() != 1 || !output) {
    return Fail(kFailure,
                (args.error.empty() ? Tr("export needs one PATCH and -o TEMPLATE") : args.error) +
                    "\n" + Usage());
  }
  if (RefuseEmptyName("PATCH", args.positional[0]) ||
      RefuseEmptyName(args.Spelling("--output"), *output))
    return kFailure;
  std::vector<std::filesystem::path> inputs = command::FilesReadBesides(SettingsFileInUse());
  inputs.insert(inputs.begin(), args.positional[0]);
  const std::filesystem::path outputs[] = {*output};
  if (const command::OutputCheck check = command::CheckPlannedOutputs(outputs, inputs); !check) {
    return Fail(kFailure, check.other == 0
                              ? Format(Tr("%s: the template would be written over its patch; "
                                          "nothing was written"),
                                       Shown(*output))
                              : Format(Tr("%1$s: the template would be written over %2$s, an "
                                          "input of this run; nothing was written"),
                                       Shown(*output), Shown(inputs[check.other])));
  }
  const auto kind = command::ImageKindOfName(*output);
  if (!kind)
    return Fail(kFailure,
                Format(Tr("%s: the template must be named .gif, .bmp or .png"), Shown(*output)));
  const std::filesystem::path file = PrepareOutput(*output, *kind, args.Has("--force"));
  if (file.empty()) return kFailure;
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  const auto exported = patch::ExportTemplate(contents->paletteWords, contents->tiles);
  const io::WriteOutcome written = command::ExportImage(exported.raster, *output, file);
  if (!written) return FailExport(*output, written.Why());
  std::cout << Shown(*output) << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
