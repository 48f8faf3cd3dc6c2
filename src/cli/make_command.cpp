// kavelin-cli make: the create-patch road of the window, answered from the terminal, for
// one template or a batch of them.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "command/create_patch.hpp"
#include "image/decoder.hpp"
#include "image/intake.hpp"
#include "image/palette_panel.hpp"
#include "sheet/sheet_file.hpp"
#include "validate/messages.hpp"

namespace kavelin::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: kavelin-cli make TEMPLATE... [--sheet SHEET.json] [--yes] [--output PATCH]\n"
    "\n"
    "Makes the patch of a character from a GIF or BMP template, as the window's\n"
    "\"パッチ作成\" does. Without --sheet the fresh sheet is used. Input errors are printed\n"
    "and nothing is written. Warnings are printed; on a terminal the command then asks\n"
    "whether to go on, otherwise it stops unless --yes is given. The patch is written\n"
    "beside the template (TEMPLATE with its extension replaced by k7p) unless --output\n"
    "names another file, and its path is printed. An older patch is replaced only by a\n"
    "complete new one.\n"
    "\n"
    "Several templates make one patch each with the same sheet, in one run. Each gets its\n"
    "own messages, prefixed with its name, and one failure never stops the others.\n"
    "--output needs a single TEMPLATE.\n"
    "\n"
    "Exit status: 0 written, 1 input errors, 2 unusable template, sheet file or\n"
    "arguments, 3 warnings not confirmed, 4 the patch could not be written; with several\n"
    "templates, the highest of these.\n";

constexpr std::size_t kMaxSheetFileBytes = 64u << 20;
// A bar is worth drawing only for a batch that takes a moment.
constexpr std::size_t kProgressFrom = 6;

// A progress bar on stderr while a batch runs on a terminal.
class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total), shown_(total >= kProgressFrom && ::isatty(STDERR_FILENO) == 1) {}

  void Step() {
    ++done_;
    if (!shown_) return;
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = done_ * kWidth / total_;
    std::cerr << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
              << done_ << "/" << total_ << std::flush;
    drawn_ = true;
  }
  // Makes room for a message line.
  void Clear() {
    if (drawn_) std::cerr << "\r\033[K" << std::flush;
    drawn_ = false;
  }
  void Finish() {
    if (drawn_) std::cerr << '\n';
    drawn_ = false;
  }

 private:
  std::size_t total_;
  std::size_t done_ = 0;
  bool shown_;
  bool drawn_ = false;
};

// Answers the road from the terminal. Every template of a batch shares the sheet, so the
// question on warnings is asked once and its answer kept.
class TerminalDialogs : public command::CreatePatchDialogs {
 public:
  TerminalDialogs(bool yes, Progress& progress) : yes_(yes), progress_(progress) {}
  std::string prefix;  // put before every message line of the current template
  int exitCode = kSuccess;
  // In a batch, patches are staged and put in place together at the end.
  bool staging = false;
  struct Staged {
    std::string prefix;
    std::filesystem::path output;
  };
  std::vector<Staged> staged;

  void ShowInputErrors(const validate::CheckResult& errors) override {
    for (const auto& m : errors.messages)
      Print(Utf8(m));
    exitCode = kInputErrors;
  }
  bool ConfirmWarnings(const validate::CheckResult& warnings) override {
    for (const auto& m : warnings.messages)
      Print(Utf8(m));
    if (!answer_) {
      progress_.Clear();
      answer_ = yes_ || (StdinIsTerminal() && AskYesNo(validate::messages::kConfirmQuestion));
    }
    if (!*answer_) exitCode = kNotConfirmed;
    return *answer_;
  }
  // Running the command is the confirmation.
  bool ConfirmCreate() override { return true; }
  void ShowDone(const patch::WriteResult& written) override {
    if (staging) {
      staged.push_back({prefix, written.output});
      return;
    }
    progress_.Clear();
    std::cout << Shown(written.output) << '\n';
  }
  void ShowWriteFailure(const patch::WriteResult& failed) override {
    Print(Utf8(failed.message));
    exitCode = kWriteFailed;
  }

  // One message; each of its lines carries the prefix.
  void Print(std::string text) {
    progress_.Clear();
    std::erase(text, '\r');
    std::size_t start = 0;
    while (start <= text.size()) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      std::cerr << prefix << text.substr(start, end - start) << '\n';
      start = end + 1;
    }
  }

 private:
  bool yes_;
  Progress& progress_;
  std::optional<bool> answer_;
};

// Swaps pairs of entries as two ticks of the palette toggles would.
bool ApplySwaps(image::TemplateImage& image, const std::vector<sheet::PaletteSwap>& swaps,
                TerminalDialogs& dialogs) {
  for (std::size_t i = 0; i < swaps.size(); ++i) {
    const auto [a, b] = swaps[i];
    for (const int e : {a, b}) {
      if (image.palette.IsEmpty(e)) {
        dialogs.Print("paletteSwaps[" + std::to_string(i) + "]: entry " + std::to_string(e) +
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

// One template through intake, swaps and the road; the exit code of its outcome. Alone,
// its report lines are printed as they are; in a batch each line names its template.
int MakeOne(const std::filesystem::path& templatePath, bool batch,
            const sheet::SheetDocument& document, const text::CodeTable& codes,
            TerminalDialogs& dialogs, const patch::WriteOptions& options) {
  const std::string name = Shown(templatePath) + ": ";
  image::TemplateImage image;
  const auto status = image::TakeInTemplateFile(image, templatePath, image::DecodeImageFile);
  if (status != image::ImageStatus::kOk) {
    dialogs.prefix = batch ? name : "kavelin-cli: " + name;
    dialogs.Print(std::string(image::MessageFor(status)));
    return kFailure;
  }
  dialogs.prefix = batch ? name : "kavelin-cli: ";
  if (!ApplySwaps(image, document.paletteSwaps, dialogs)) return kFailure;
  dialogs.prefix = batch ? name : "";
  sheet::CharacterSheet sheet = document.sheet;
  dialogs.exitCode = kSuccess;
  command::CreatePatch(sheet, image, codes, dialogs, options);
  return dialogs.exitCode;
}

}  // namespace

int RunMake(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--yes", "--help"}, {"--sheet", "--output"});
  if (args.Has("--help")) {
    std::cout << kUsage;
    return kSuccess;
  }
  if (!args.error.empty()) return Fail(kFailure, args.error + "\n" + std::string(kUsage));
  if (args.positional.empty()) {
    return Fail(kFailure, "make needs a TEMPLATE\n" + std::string(kUsage));
  }
  if (args.positional.size() > 1 && args.Has("--output")) {
    return Fail(kFailure, "--output needs a single TEMPLATE");
  }

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
  patch::WriteOptions options;
  if (const auto output = args.Value("--output")) options.output = *output;
  const std::size_t count = args.positional.size();
  Progress progress(count);
  TerminalDialogs dialogs(args.Has("--yes"), progress);
  // A batch flushes its patches to the disk once, together, before any older patch is
  // replaced, instead of once per patch.
  patch::AtomicBatch batch;
  if (count > 1) {
    options.batch = &batch;
    dialogs.staging = true;
  }
  int worst = kSuccess;
  for (std::size_t i = 0; i < count; ++i) {
    worst =
        std::max(worst, MakeOne(args.positional[i], count > 1, document, codes, dialogs, options));
    progress.Step();
  }
  progress.Finish();
  if (count > 1) {
    const auto committed = batch.Commit();
    for (std::size_t i = 0; i < committed.size(); ++i) {
      const auto& [prefix, output] = dialogs.staged[i];
      if (committed[i].ok) {
        std::cout << Shown(output) << '\n';
        continue;
      }
      dialogs.prefix = prefix;
      dialogs.Print(Utf8(patch::WriteFailureMessage(output, committed[i].error)));
      worst = std::max(worst, static_cast<int>(kWriteFailed));
    }
  }
  return worst;
}

}  // namespace kavelin::cli
