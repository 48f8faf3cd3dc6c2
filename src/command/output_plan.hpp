// Checking where a run will write before it writes anything, so that no output lands on a
// file the user did not name as one: an input of the same run, or another output of it.
// (A device, pipe or folder in an output's place is refused by the writer itself.)
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace kavelin::command {

enum class OutputRefusal {
  kNone,
  kIsAnInput,     // the output is one of the run's inputs
  kSharedOutput,  // two outputs of the run are the same file
};

struct OutputCheck {
  OutputRefusal refusal = OutputRefusal::kNone;
  std::size_t output = 0;  // which planned output
  std::size_t other = 0;   // which input (kIsAnInput) or earlier output (kSharedOutput)
  explicit operator bool() const { return refusal == OutputRefusal::kNone; }
};

// The first problem among `outputs`, in their order; inputs and outputs are compared as
// files (links and other spellings meet), in time that grows with their number, not its
// square, for batches of thousands.
OutputCheck CheckPlannedOutputs(std::span<const std::filesystem::path> outputs,
                                std::span<const std::filesystem::path> inputs);

// The files a run reads besides the ones named on its command line, which no output may
// land on either: the settings file in use and the names files that exist.
std::vector<std::filesystem::path> FilesReadBesides(const std::filesystem::path& settingsFile);

// What a command is about to write.
enum class OutputKind { kPatch, kGif, kBmp, kPng, kSheet };

// The image format a name asks for by its extension (.gif, .bmp, .png, any case).
std::optional<OutputKind> ImageKindOfName(const std::filesystem::path& name);

// What is in an output's place now, told by its first bytes.
enum class ExistingKind {
  kNothing,
  kPatch,   // starts "K7P"
  kGif,     // starts "GIF8"
  kBmp,     // starts "BM"
  kPng,     // starts with the PNG signature
  kSheet,   // a JSON object
  kOther,   // any other file, an empty one included
  kLink,    // a symbolic link, whatever it names
  kFolder,  // never replaced
  kDevice,  // a device, pipe or socket: never replaced
};

// The existing kind a file written as `kind` is, so that a front end names both alike.
ExistingKind KindOf(OutputKind kind);

struct OutputTarget {
  ExistingKind existing = ExistingKind::kNothing;
  // Nothing there, or a file of the kind being written (when the kind may replace itself).
  bool free = true;
  // A folder, device, pipe or socket: no answer of the user's makes it replaceable.
  bool never = false;
};

// Whether `output` may be written as `writing` without asking: a patch may replace a
// patch and an image an image of the same format; a sheet a sheet. Anything else that is
// there needs the user's word (--force, or a yes in the window); a link is then written
// through to the file it names. `sameKindReplaces` false (a blank template) asks for
// every existing file.
OutputTarget InspectOutput(const std::filesystem::path& output, OutputKind writing,
                           bool sameKindReplaces = true);

}  // namespace kavelin::command
