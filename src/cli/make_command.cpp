// kavelin-cli make: the create-patch road of the window, answered from the terminal, for
// one template or a batch of them.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <map>
#include <new>
#include <optional>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "cli/make_watch.hpp"
#include "command/create_patch.hpp"
#include "command/output_plan.hpp"
#include "command/template_intake.hpp"
#include "image/decoder.hpp"
#include "image/palette_panel.hpp"
#include "image/status.hpp"
#include "image/template_hints.hpp"
#include "io/read_file.hpp"
#include "patch/game_preview.hpp"
#include "patch/patch_file.hpp"
#include "sheet/sheet_file.hpp"
#include "validate/messages.hpp"

namespace kavelin::cli {
namespace {

std::string Usage() {
  return Tr(
      "usage: kavelin-cli make TEMPLATE... [--sheet SHEET.k7c] [--yes] [-o|--output PATCH]\n"
      "                        [--force] [--watch]\n"
      "       kavelin-cli make --sheet SHEET.k7c [--yes] [-o|--output PATCH] [--force]\n"
      "                        [--watch]\n"
      "\n"
      "Makes the patch of a character from a GIF, BMP or PNG template, as the window's\n"
      "\"パッチ作成\" does. Without --sheet the fresh sheet is used; without TEMPLATE, the\n"
      "template the sheet file names (its \"template\" key). Input errors are printed\n"
      "and nothing is written. Warnings are printed; on a terminal the command then asks\n"
      "whether to go on, otherwise it stops unless --yes is given. The patch is written\n"
      "beside the template (TEMPLATE with its extension replaced by k7p) unless --output\n"
      "names another file, and its path is printed. An older patch is replaced only by a\n"
      "complete new one; any other file in the patch's place, or a symbolic link, only\n"
      "with --force (a link is then written through to its file). A template the sheet\n"
      "names outside its own folder makes its patch only with --output or a TEMPLATE.\n"
      "\n"
      "Several templates make one patch each with the same sheet, in one run. Each gets its\n"
      "own messages, prefixed with its name, and one failure never stops the others.\n"
      "--output needs a single TEMPLATE.\n"
      "\n"
      "--watch makes the patch, then makes it again each time the template or the sheet file\n"
      "is saved (written in place or renamed over), once the save has stayed unchanged for a\n"
      "moment. Each make ends in one line: \"HH:MM:SS made PATCH\" on the standard output,\n"
      "or \"HH:MM:SS PATCH not made: WHY\" after its messages. Nothing is asked: warnings\n"
      "stop a make unless --yes is given. A file that goes missing is said once and waited\n"
      "for. The template is the one named when the watch began, and the settings file is\n"
      "read once. Ctrl+C ends the watch once a make under way has finished (a second Ctrl+C\n"
      "at once), leaving no temporary file, and the process ends by the signal, so a shell\n"
      "reports 130. --watch takes a single TEMPLATE, a regular file.\n"
      "\n"
      "Exit status: 0 written, 1 input errors, 2 unusable template, sheet file or\n"
      "arguments, an output that would land on an input of the run or on another output,\n"
      "or a file of another kind in an output's place,\n"
      "3 warnings not confirmed, 4 the patch or the standard output could not be written\n"
      "(or there was not enough memory to read the template);\n"
      "with several templates, the highest of these. With --watch, a status other than\n"
      "by the signal comes only from a refusal before the first make.\n");
}

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
  // `watch`: nothing may wait on the terminal between saves, so the answer is --yes's, and
  // the patch is named on the watch's own line.
  TerminalDialogs(bool yes, bool batch, Progress& progress, bool watch = false)
      : yes_(yes), batch_(batch), watch_(watch), progress_(progress) {}
  std::string prefix;  // put before every message line of the current template

  void ShowInputErrors(const validate::CheckResult& errors) override {
    for (const auto& m : errors.messages)
      Print(Utf8(m));
  }
  bool ConfirmWarnings(const validate::CheckResult& warnings) override {
    for (const auto& m : warnings.messages)
      Print(Utf8(m));
    if (!answer_) {
      progress_.Clear();
      const bool terminal = !watch_ && StdinIsTerminal();
      answer_ = yes_ || (terminal && AskYesNo(validate::messages::kConfirmQuestion));
      // Said once, where the batch first stopped, so that the user knows what happened.
      if (!*answer_) {
        const std::string what =
            batch_ ? Tr("no patch with warnings was written") : Tr("nothing was written");
        std::cerr << "kavelin-cli: "
                  << (terminal ? what : Format(Tr("%s; --yes goes on despite warnings"), what))
                  << '\n';
      }
    }
    return *answer_;
  }
  // Running the command is the confirmation.
  bool ConfirmCreate() override { return true; }
  void ShowDone(const std::filesystem::path& written) override {
    // A batch names its patches once they are in place, after the commit.
    if (batch_ || watch_) return;
    progress_.Clear();
    std::cout << Shown(written) << '\n';
  }
  void ShowWriteFailure(const Failure& failed) override { Print(failed.what); }

  // One message; each of its lines carries the prefix.
  void Print(std::string text) {
    progress_.Clear();
    std::erase(text, '\r');
    std::size_t start = 0;
    while (start <= text.size()) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      std::cerr << prefix << Printable(text.substr(start, end - start)) << '\n';
      start = end + 1;
    }
  }

 private:
  bool yes_;
  bool batch_;
  bool watch_;
  Progress& progress_;
  std::optional<bool> answer_;
};

std::string HexColour(image::Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", image::Red(c), image::Green(c), image::Blue(c));
  return text;
}

// The deciding pixel in the picture's own coordinates, as a paint program shows them.
std::string FixedColourNote(const image::FixedColourHint& hint, int originOffset) {
  char word[8], game[8];
  std::snprintf(word, sizeof word, "0x%04X", image::SnesForm(hint.templateColour));
  std::snprintf(game, sizeof game, "0x%04X", hint.gameWord);
  return Format(TrN("palette entry %1$s is %2$s (SNES %3$s) in the template, but the game shows "
                    "its own %4$s (%5$s) there: %6$s cell pixel change; pixel (%7$s, %8$s) of "
                    "the template decides entry %1$s",
                    "palette entry %1$s is %2$s (SNES %3$s) in the template, but the game shows "
                    "its own %4$s (%5$s) there: %6$s cell pixels change; pixel (%7$s, %8$s) of "
                    "the template decides entry %1$s",
                    hint.changedPixels),
                hint.entry, HexColour(hint.templateColour), word, game,
                HexColour(patch::WidenSnesColour(hint.gameWord)), hint.changedPixels,
                hint.seed.x + originOffset, hint.seed.y + originOffset);
}

// The picture's own coordinates and size, as a paint program shows them.
std::string EdgeNote(const image::EdgeHint& hint) {
  std::string cells;
  for (const int cell : hint.cells)
    cells += (cells.empty() ? "" : ", ") + std::to_string(cell);
  const std::string past = Format(TrN("%s cell pixel past its edge read",
                                      "%s cell pixels past its edge read", hint.backgroundPixels),
                                  hint.backgroundPixels);
  return Format(TrN("the picture is %1$sx%2$s but its cells need %3$sx%4$s: %5$s the background "
                    "%6$s (cell %7$s)",
                    "the picture is %1$sx%2$s but its cells need %3$sx%4$s: %5$s the background "
                    "%6$s (cells %7$s)",
                    hint.cells.size()),
                hint.pictureWidth, hint.pictureHeight, hint.neededWidth, hint.neededHeight, past,
                HexColour(image::kBackground), cells);
}

std::string OverflowNote(const image::ColourOverflow& overflow) {
  return Format(Tr("the cells hold %1$s colours, but at most %2$s fit (the backdrop included); "
                   "the first that did not fit is %3$s at (%4$s, %5$s)"),
                overflow.colours, image::kTemplateColourRoom, HexColour(overflow.colour),
                overflow.at.x, overflow.at.y);
}

int ExitCodeFor(command::CreatePatchOutcome outcome) {
  switch (outcome) {
    case command::CreatePatchOutcome::kWritten:
      return kSuccess;
    case command::CreatePatchOutcome::kInputErrors:
      return kInputErrors;
    case command::CreatePatchOutcome::kDeclined:
      return kNotConfirmed;
    case command::CreatePatchOutcome::kWriteFailed:
      return kWriteFailed;
  }
  return kFailure;
}

// One template of the run: where it is, where its patch goes, and how it ended.
struct Job {
  std::filesystem::path templatePath;
  std::filesystem::path output;
  int exitCode = kSuccess;
};

// One template through intake, swaps and the road; the exit code of its outcome. Alone,
// its report lines are printed as they are; in a batch each line names its template.
int MakeOne(const Job& job, bool batch, const sheet::SheetDocument& document,
            const text::CodeTable& codes, TerminalDialogs& dialogs, patch::WriteOptions options) {
  const std::string name = Shown(job.templatePath) + ": ";
  image::TemplateImage image;
  const command::TemplateIntake intake =
      command::TakeInTemplate(image, job.templatePath, image::DecodeImageFile,
                              command::IntakeMode::kChecked, document.paletteSwaps);
  image::ImageStatus status = image::ImageStatus::kOk;
  if (!intake && ReasonIs(intake.Why(), status)) {
    dialogs.prefix = batch ? name : "kavelin-cli: " + name;
    std::string message = intake.Why().what;
    // The box's text as it is, and after it what the system said.
    if (status == image::ImageStatus::kCannotRead) {
      const io::FileRead read = io::ReadFileStart(job.templatePath, 1);
      if (!read) message += " (" + read.Why().what + ")";
    }
    if (const auto& pixel = image.partlyTransparentPixel) {
      message += " (" +
                 Format(Tr("partly transparent pixel at (%1$s, %2$s) inside cell %3$s"),
                        pixel->at.x, pixel->at.y, pixel->cell) +
                 ")";
    }
    dialogs.Print(message);
    if (const auto overflow = image::ColourOverflowOf(image)) {
      dialogs.Print(Note(OverflowNote(*overflow)));
      if (const auto edge = image::CellsPastEdge(image)) dialogs.Print(Note(EdgeNote(*edge)));
    }
    return status == image::ImageStatus::kOutOfMemory ? kWriteFailed : kFailure;
  }
  // As the window does: the patch is made without the swaps this template cannot take.
  dialogs.prefix = batch ? name : "kavelin-cli: ";
  for (const auto& [a, b] : intake->skipped) {
    dialogs.Print(Format(Tr("paletteSwaps: %1$s ⇔ %2$s left out: entry %3$s is empty in this "
                            "template"),
                         a, b, image.palette.IsEmpty(a) ? a : b));
  }
  // Notes the road never gives: the game's fixed colours of entries 1 and 2.
  for (const image::FixedColourHint& hint : image::FixedColourHints(image))
    dialogs.Print(Note(FixedColourNote(hint, image.originOffset)));
  if (const auto edge = image::CellsPastEdge(image)) dialogs.Print(Note(EdgeNote(*edge)));
  dialogs.prefix = batch ? name : "";
  options.output = job.output;
  return ExitCodeFor(command::CreatePatch(document.sheet, image, codes, dialogs, options).outcome);
}

// Refuses the whole run, before anything is read or written, when an output would land on
// a file the user did not name as one.
bool OutputsAreSafe(const std::vector<Job>& jobs, const std::optional<std::string>& sheetPath) {
  std::vector<std::filesystem::path> outputs, inputs;
  for (const Job& job : jobs) {
    outputs.push_back(job.output);
    inputs.push_back(job.templatePath);
  }
  if (sheetPath) inputs.emplace_back(*sheetPath);
  // The settings file and the names files are read too, and lost as surely.
  for (std::filesystem::path& read : command::FilesReadBesides(SettingsFileInUse()))
    inputs.push_back(std::move(read));
  const command::OutputCheck check = command::CheckPlannedOutputs(outputs, inputs);
  const Job& job = jobs[check.output];
  switch (check.refusal) {
    case command::OutputRefusal::kNone:
      return true;
    case command::OutputRefusal::kIsAnInput:
      Fail(kFailure,
           Format(Tr("the patch of %1$s would be written over %2$s, an input of this run"),
                  Shown(job.templatePath), Shown(inputs[check.other])));
      break;
    case command::OutputRefusal::kSharedOutput:
      Fail(kFailure, Format(Tr("the patches of %1$s and %2$s would both be written to %3$s"),
                            Shown(jobs[check.other].templatePath), Shown(job.templatePath),
                            Shown(job.output)));
      break;
  }
  Fail(kFailure, Tr("nothing was written"));
  return false;
}

// The rest of a watch's "not made" line; the messages before it tell the details.
std::string NotMadeReason(int exitCode) {
  switch (exitCode) {
    case kInputErrors:
      return Tr("the sheet has input errors");
    case kNotConfirmed:
      return Tr("warnings not confirmed");
    case kWriteFailed:
      return Tr("the patch could not be written");
    default:
      return Tr("an input or the patch's place cannot be used");
  }
}

// One make of a watch. The sheet file is read afresh, and the patch's place judged afresh,
// so that a file put there meanwhile is kept as a first make would keep it. A failure of
// any kind is a line, never the end of the watch.
void MakeWatched(const std::filesystem::path& templatePath, const std::filesystem::path& output,
                 const std::optional<std::string>& sheetPath, const text::CodeTable& codes,
                 bool yes, bool force) {
  int code = kFailure;
  std::filesystem::path place;
  try {
    std::optional<sheet::SheetDocument> document =
        sheetPath ? ReadSheet(*sheetPath) : sheet::SheetDocument{};
    if (document) place = PrepareOutput(output, command::OutputKind::kPatch, force);
    if (!place.empty()) {
      Progress progress(1);
      TerminalDialogs dialogs(yes, false, progress, /*watch=*/true);
      code = MakeOne({templatePath, place}, false, *document, codes, dialogs, {});
    }
  } catch (const std::bad_alloc&) {
    Fail(kWriteFailed, Tr("there was not enough memory"));
    code = kWriteFailed;
  } catch (const std::exception& e) {
    Fail(kFailure, Printable(e.what()));
  }
  // Through a link, the file written, as a make without --watch names it.
  const std::string shown = Shown(place.empty() ? output : place);
  if (code == kSuccess) {
    std::cout << Format(Tr("%1$s made %2$s"), ClockTime(), shown) << std::endl;
  } else {
    std::cerr << Format(Tr("%1$s %2$s not made: %3$s"), ClockTime(), shown, NotMadeReason(code))
              << '\n';
  }
}

// The closing line of a batch: how many of each outcome; the exit code is the highest.
int Summarise(const std::vector<Job>& jobs) {
  std::size_t written = 0, stopped = 0, refused = 0, failed = 0;
  int worst = kSuccess;
  for (const Job& job : jobs) {
    worst = std::max(worst, job.exitCode);
    switch (job.exitCode) {
      case kSuccess:
        ++written;
        break;
      case kNotConfirmed:
        ++stopped;
        break;
      case kWriteFailed:
        ++failed;
        break;
      default:
        ++refused;
        break;
    }
  }
  std::cerr << "kavelin-cli: "
            << Format(TrN("%1$s template: %2$s written, %3$s stopped at warnings, %4$s refused, "
                          "%5$s failed",
                          "%1$s templates: %2$s written, %3$s stopped at warnings, %4$s refused, "
                          "%5$s failed",
                          jobs.size()),
                      jobs.size(), written, stopped, refused, failed)
            << '\n';
  return worst;
}

}  // namespace

int RunMake(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, {"--yes", "--help", "--force", "--watch"},
                                        {"--sheet", "--output"});
  if (args.Has("--help")) {
    std::cout << Usage();
    return kSuccess;
  }
  if (!args.error.empty()) return Fail(kFailure, args.error + "\n" + Usage());
  const auto sheetPath = args.Value("--sheet");
  const auto outputName = args.Value("--output");
  if ((sheetPath && RefuseEmptyName("--sheet", *sheetPath)) ||
      (outputName && RefuseEmptyName(args.Spelling("--output"), *outputName)))
    return kFailure;
  for (const std::string& templatePath : args.positional)
    if (RefuseEmptyName("TEMPLATE", templatePath)) return kFailure;
  if (args.positional.empty() && !sheetPath) {
    return Fail(kFailure, Tr("make needs a TEMPLATE") + "\n" + Usage());
  }
  if (args.positional.size() > 1 && outputName) {
    return Fail(kFailure, Format(Tr("%s needs a single TEMPLATE"), args.Spelling("--output")));
  }
  const bool watch = args.Has("--watch");
  if (args.positional.size() > 1 && watch)
    return Fail(kFailure, Tr("--watch takes a single TEMPLATE") + "\n" + Usage());
  sheet::SheetDocument document;
  if (sheetPath) {
    auto read = ReadSheet(*sheetPath);
    if (!read) return kFailure;
    document = std::move(*read);
  }
  // Without a TEMPLATE, the one the sheet remembers.
  std::vector<std::filesystem::path> templates(args.positional.begin(), args.positional.end());
  if (templates.empty()) {
    if (document.templateFile.empty())
      return Fail(kFailure, Format(Tr("make needs a TEMPLATE: %s names none"), Shown(*sheetPath)));
    templates.push_back(sheet::TemplateOfSheet(*sheetPath, document.templateFile));
    if (const io::FileRead there = io::ReadFileStart(templates.front(), 1); !there) {
      return Fail(kFailure, Format(Tr("the template %1$s that %2$s names: %3$s"),
                                   Shown(templates.front()), Shown(*sheetPath), there.Why().what));
    }
    // Beside a template the user never named, outside the sheet's folder: a folder the
    // user may not know of, so the user names the patch.
    if (!outputName && sheet::TemplateKeyLeavesSheetFolder(document.templateFile)) {
      return Fail(kFailure,
                  Format(Tr("%1$s names the template %2$s outside its folder; its patch would be "
                            "written to %3$s. Give --output PATCH (or the TEMPLATE) to make it"),
                         Shown(*sheetPath), Shown(templates.front()),
                         Shown(patch::PatchOutputName(templates.front()))));
    }
  }
  std::vector<Job> jobs;
  for (const std::filesystem::path& templatePath : templates)
    jobs.push_back({templatePath, outputName.value_or(patch::PatchOutputName(templatePath))});
  if (!OutputsAreSafe(jobs, sheetPath)) return kFailure;
  const std::filesystem::path namedOutput = jobs.front().output;
  // What is in each patch's place now, before anything is read: a patch is replaced, a
  // picture or anything else is not without --force.
  for (Job& job : jobs) {
    job.output = PrepareOutput(job.output, command::OutputKind::kPatch, args.Has("--force"));
    if (job.output.empty()) return Fail(kFailure, Tr("nothing was written"));
  }

  const text::CodeTable codes = LoadCodeTable();
  if (watch) {
    const std::filesystem::path& templatePath = jobs.front().templatePath;
    // A name mistyped, or a pipe or device, would be waited on for ever; a template that is
    // there but broken is what a watch is for.
    if (const io::FileRead there = io::ReadFileStart(templatePath, 1);
        !there && (io::ProblemOf(there.Why()) == io::ReadProblem::kNoSuchFile ||
                   io::ProblemOf(there.Why()) == io::ReadProblem::kNotRegularFile)) {
      return Fail(kFailure,
                  Format(Tr("--watch: %1$s: %2$s"), Shown(templatePath), there.Why().what));
    }
    std::vector<std::filesystem::path> watched{templatePath};
    if (sheetPath) watched.emplace_back(*sheetPath);
    return WatchSaves(watched, [&] {
      MakeWatched(templatePath, namedOutput, sheetPath, codes, args.Has("--yes"),
                  args.Has("--force"));
    });
  }
  const bool batch = jobs.size() > 1;
  Progress progress(jobs.size());
  TerminalDialogs dialogs(args.Has("--yes"), batch, progress);
  // A batch flushes its patches to the disk once, together, before any older patch is
  // replaced, instead of once per patch.
  io::AtomicBatch staging;
  patch::WriteOptions options;
  if (batch) options.batch = &staging;
  std::map<std::filesystem::path, Job*> staged;
  for (Job& job : jobs) {
    job.exitCode = MakeOne(job, batch, document, codes, dialogs, options);
    if (batch && job.exitCode == kSuccess) staged[job.output] = &job;
    progress.Step();
  }
  progress.Finish();
  if (!batch) return jobs.front().exitCode;

  for (const auto& [target, result] : staging.Commit()) {
    Job& job = *staged.at(target);
    if (result) {
      std::cout << Shown(target) << '\n';
      continue;
    }
    dialogs.prefix = Shown(job.templatePath) + ": ";
    dialogs.Print(Utf8(patch::WriteFailureMessage(target, result.Why().error)));
    job.exitCode = kWriteFailed;
  }
  return Summarise(jobs);
}

}  // namespace kavelin::cli
