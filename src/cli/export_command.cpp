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
    "usage: kavelin-cli export PATCH.k7p -o TEMPLATE.gif|.bmp|.png\n"
    "\n"
    "Draws the sprite a patch holds back into a template (176 x 132, the cells with the\n"
    "one-pixel margin), in colours whose SNES form is the patch's palette. With the sheet\n"
    "of sheet --from, make on that template gives the patch again, byte for byte. PNG is\n"
    "for viewing; make reads GIF and BMP. An existing TEMPLATE is replaced whole.\n"
    "\n"
    "Exit status: 0 written, 2 unreadable patch or bad arguments, 4 the file could not be\n"
    "written.\n";

}  // namespace

int RunExport(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--help"}, {"-o", "--output"});
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
  const std::filesystem::path outputs[] = {*output}, inputs[] = {args.positional[0]};
  if (!command::CheckPlannedOutputs(outputs, inputs)) {
    return Fail(kFailure, Shown(*output) + ": the template would be written over its patch; " +
                              "nothing was written");
  }
  const auto contents = ReadPatch(args.positional[0]);
  if (!contents) return kFailure;
  const auto exported = patch::ExportTemplate(contents->paletteWords, contents->tiles);
  const auto bytes = image::EncodeImageFile(exported.raster, *output);
  if (!bytes) return Fail(kFailure, *output + ": the template must be named .gif, .bmp or .png");
  const auto written = io::WriteFileAtomically(*output, *bytes);
  if (!written.ok) {
    return Fail(kWriteFailed, Shown(*output) + ": " + Utf8(patch::FileErrorReason(written.error)));
  }
  std::cout << *output << '\n';
  return kSuccess;
}

}  // namespace kavelin::cli
