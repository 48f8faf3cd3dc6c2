// kavelin-cli make: the create-patch road of the window, answered from the terminal.
#include <iostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "command/create_patch.hpp"
#include "image/decoder_qt.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "sheet/sheet_file.hpp"
#include "validate/messages.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: kavelin-cli make TEMPLATE [--sheet SHEET.json] [--yes] [--output PATCH]\n"
    "\n"
    "Makes the patch of a character from a GIF or BMP template, as the window's\n"
    "\"パッチ作成\" does. Without --sheet the fresh sheet is used. Input errors are printed\n"
    "and nothing is written. Warnings are printed; on a terminal the command then asks\n"
    "whether to go on, otherwise it stops unless --yes is given. The patch is written\n"
    "beside the template (TEMPLATE with its extension replaced by k7p) unless --output\n"
    "names another file, and its path is printed. An older patch is replaced only by a\n"
    "complete new one.\n"
    "\n"
    "Exit status: 0 written, 1 input errors, 2 unusable template, sheet file or\n"
    "arguments, 3 warnings not confirmed, 4 the patch could not be written.\n";

constexpr std::size_t kMaxSheetFileBytes = 64u << 20;

class TerminalDialogs : public command::CreatePatchDialogs {
 public:
  explicit TerminalDialogs(bool yes) : yes_(yes) {}
  int exitCode = kSuccess;

  void ShowInputErrors(const validate::CheckResult& errors) override {
    for (const auto& m : errors.messages)
      PrintLines(std::cerr, m);
    exitCode = kInputErrors;
  }
  bool ConfirmWarnings(const validate::CheckResult& warnings) override {
    for (const auto& m : warnings.messages)
      PrintLines(std::cerr, m);
    if (yes_ || (StdinIsTerminal() && AskYesNo(validate::messages::kConfirmQuestion))) return true;
    exitCode = kNotConfirmed;
    return false;
  }
  // Running the command is the confirmation.
  bool ConfirmCreate() override { return true; }
  void ShowDone(const patch::WriteResult& written) override {
    std::cout << Shown(written.output) << '\n';
  }
  void ShowWriteFailure(const patch::WriteResult& failed) override {
    PrintLines(std::cerr, failed.message);
    exitCode = kWriteFailed;
  }

 private:
  bool yes_;
};

// Swaps pairs of entries as two ticks of the palette toggles would.
bool ApplySwaps(image::TemplateImage& image, const std::vector<sheet::PaletteSwap>& swaps) {
  for (std::size_t i = 0; i < swaps.size(); ++i) {
    const auto [a, b] = swaps[i];
    for (const int e : {a, b}) {
      if (image.palette.IsEmpty(e)) {
        Fail(kFailure, "paletteSwaps[" + std::to_string(i) + "]: entry " + std::to_string(e) +
                           " is empty in this template");
        return false;
      }
    }
    if (a == b) continue;
    image::SetPaletteToggle(image, a, true);
    image::SetPaletteToggle(image, b, true);
  }
  return true;
}

}  // namespace

int RunMake(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--yes", "--help"}, {"--sheet", "--output"});
  if (args.Has("--help")) {
    std::cout << kUsage;
    return kSuccess;
  }
  if (!args.error.empty()) return Fail(kFailure, args.error + "\n" + std::string(kUsage));
  if (args.positional.size() != 1)
    return Fail(kFailure, "make needs one TEMPLATE\n" + std::string(kUsage));
  const std::filesystem::path templatePath = args.positional[0];

  sheet::SheetDocument document;
  if (const auto sheetPath = args.Value("--sheet")) {
    const FileBytes file = ReadWholeFile(*sheetPath, kMaxSheetFileBytes);
    if (!file.error.empty()) return Fail(kFailure, file.error);
    const auto read = sheet::ReadSheetFile(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
    if (!read.ok) return Fail(kFailure, *sheetPath + ": " + read.error);
    document = read.document;
  }

  const text::CodeTable codes = LoadCodeTable();
  image::TemplateImage image;
  const auto status = image::TakeInTemplateFile(image, templatePath, image::DecodeImageFile);
  if (status != image::ImageStatus::kOk) {
    return Fail(kFailure, Shown(templatePath) + ": " + std::string(image::MessageFor(status)));
  }
  if (!ApplySwaps(image, document.paletteSwaps)) return kFailure;

  TerminalDialogs dialogs(args.Has("--yes"));
  patch::WriteOptions options;
  if (const auto output = args.Value("--output")) options.output = *output;
  command::CreatePatch(document.sheet, image, codes, dialogs, options);
  return dialogs.exitCode;
}

}  // namespace kavelin::cli
