// Checking where a run will write before it writes anything, so that no output lands on a
// file the user did not name as one: an input of the same run, or another output of it.
// (A device, pipe or folder in an output's place is refused by the writer itself.)
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>

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

}  // namespace kavelin::command
