// kavelin-cli export: the sprite a patch holds, drawn back into a template.
#include <filesystem>
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/patch_input.hpp"
#include "command/output_plan.hpp"
#include "image/encoder.hpp"
#include "io/atomic_file.hpp"
#include "patch/patch_writer.hpp"
#include "patch/template_export.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kExportUsage =
    "usage: kavelin-cli export PATCH.k7p -o TEMPLATE.gif|.bmp|.png [--force]\n"
    "\n"
    "Draws the sprite a patch holds back into a template (176 x 132, the cells with the\n"
    "one-pixel margin), in colours whose SNES form is the patch's palette. With the sheet\n"
    "of sheet --from, make on that template gives the patch again, byte for byte. PNG is\n"
    "for viewing; make reads GIF and BMP. An existing picture of the same format is\n"
    "replaced whole; any other file there, or a symbolic link, only with --force.\n"
    "\n"
    "Exit status: 0 written, 2 unreadable patch, bad arguments or a file in the way, 4 the\n"
    "file could not be written.\n";

}  // namespace

int RunExport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help", "--force"}, {"-o", "--output"});
  if (args.Has("--help")) {
    std::cout << kExportUsage;
    return kSuccess;
  }
  if (args.Has("-o") && args.Has("--output")) {
    return Fail(kFailure,
                "-o and --output name the same thing; give one\n" + std::string(kExportUsage));
  }
  const auto output = args.Value("-o") ? args.Value("-o") : args.Value("--output");
  if (!args.error.empty() || args.positional.size() != 1 || !output) {
    return Fail(kFailure,
                (args.error.empty() ? "export needs one PATCH and -o TEMPLATE" : args.error) +
                    "\n" + std::string(kExportUsage));
  }
  if (RefuseEmptyName("PATCH", args.positional[0]) || RefuseEmptyName("-o", *output))
    return kFailure;
  std::vector<std::filesystem::path> inputs = command::FilesReadBesides(SettingsFileInUse());
  inputs.insert(inputs.begin(), args.positional[0]);
  const std::filesystem::path outputs[] = {*output};
  if (const command::OutputCheck check = command::CheckPlannedOutputs(outputs, inputs); !check) {
    return Fail(kFailure,
                Shown(*output) + ": the template would be written over " +
                    (check.other == 0 ? std::string("its patch")
                                      : Shown(inputs[check.other]) + ", an input of this run") +
                    "; nothing was written");
  }
  const auto kind = command::ImageKindOfName(*output);
  if (!kind)
    return Fail(kFailure, Shown(*output) + ": the template must be named .gif, .bmp or .png");
  const std::filesystem::path file = PrepareOutput(*output, *kind, args.Has("--force"));
  if (file.empty()) return kFailure;
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  const auto exported = patch::ExportTemplate(contents->paletteWords, contents->tiles);
  const auto bytes = image::EncodeImageFile(exported.raster, *output);
  if (!bytes) return Fail(kFailure, Shown(*output) + ": the template could not be encoded");
  const auto written = io::WriteFileAtomically(file, *bytes);
  if (!written.ok) {
    return Fail(kWriteFailed, Shown(*output) + ": " + Utf8(patch::FileErrorReason(written.error)));
  }
  std::cout << Shown(*output) << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
