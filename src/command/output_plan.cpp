#include "command/output_plan.hpp"

#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "command/file_kind.hpp"
#include "io/atomic_file.hpp"
#include "io/read_file.hpp"
#include "sheet/names_file.hpp"
#include "text/executable_folder.hpp"

namespace kavelin::command {

OutputCheck CheckPlannedOutputs(std::span<const std::filesystem::path> outputs,
                                std::span<const std::filesystem::path> inputs) {
  std::unordered_map<std::string, std::size_t> inputAt;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (!inputs[i].empty()) inputAt.emplace(io::FileIdentity(inputs[i]), i);
  }
  std::unordered_map<std::string, std::size_t> outputAt;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const std::string identity = io::FileIdentity(outputs[i]);
    if (const auto input = inputAt.find(identity); input != inputAt.end())
      return {OutputRefusal::kIsAnInput, i, input->second};
    if (const auto [earlier, added] = outputAt.emplace(identity, i); !added)
      return {OutputRefusal::kSharedOutput, i, earlier->second};
  }
  return {};
}

std::vector<std::filesystem::path> FilesReadBesides(const std::filesystem::path& settingsFile) {
  std::vector<std::filesystem::path> files;
  if (!settingsFile.empty()) files.push_back(settingsFile);
  for (const auto& names : sheet::NamesFilePlaces(
           text::ExecutableFolder(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))) {
    std::error_code error;
    if (std::filesystem::exists(names, error)) files.push_back(names);
  }
  return files;
}

std::optional<OutputKind> ImageKindOfName(const std::filesystem::path& name) {
  std::string extension = name.extension().string();
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (extension == ".gif") return OutputKind::kGif;
  if (extension == ".bmp") return OutputKind::kBmp;
  if (extension == ".png") return OutputKind::kPng;
  return std::nullopt;
}

namespace {

ExistingKind KindThere(const std::filesystem::path& output) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(output, error);
  if (error || !std::filesystem::exists(status)) return ExistingKind::kNothing;
  if (std::filesystem::is_symlink(status)) return ExistingKind::kLink;
  if (std::filesystem::is_directory(status)) return ExistingKind::kFolder;
  if (!std::filesystem::is_regular_file(status)) return ExistingKind::kDevice;
  const io::FileRead start = io::ReadFileStart(output, 64);
  // Swapped for a pipe since, or unreadable: nothing to recognise, so nothing to replace
  // without asking.
  if (!start) {
    return io::ProblemOf(start.Why()) == io::ReadProblem::kNotRegularFile ? ExistingKind::kDevice
                                                                          : ExistingKind::kOther;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(start->data()), start->size());
  if (bytes.starts_with("GIF8")) return ExistingKind::kGif;
  if (bytes.starts_with("\x89PNG\r\n\x1a\n")) return ExistingKind::kPng;
  switch (KindOfBytes(*start)) {
    case FileKind::kPatch:
      return ExistingKind::kPatch;
    case FileKind::kTemplate:
      return bytes.starts_with("BM") ? ExistingKind::kBmp : ExistingKind::kOther;
    case FileKind::kSheet:
      return ExistingKind::kSheet;
    case FileKind::kUnknown:
      break;
  }
  return ExistingKind::kOther;
}

}  // namespace

ExistingKind KindOf(OutputKind kind) {
  switch (kind) {
    case OutputKind::kPatch:
      return ExistingKind::kPatch;
    case OutputKind::kGif:
      return ExistingKind::kGif;
    case OutputKind::kBmp:
      return ExistingKind::kBmp;
    case OutputKind::kPng:
      return ExistingKind::kPng;
    case OutputKind::kSheet:
      return ExistingKind::kSheet;
  }
  return ExistingKind::kOther;
}

OutputTarget InspectOutput(const std::filesystem::path& output, OutputKind writing,
                           bool sameKindReplaces) {
  OutputTarget target;
  target.existing = KindThere(output);
  target.never =
      target.existing == ExistingKind::kFolder || target.existing == ExistingKind::kDevice;
  target.free = target.existing == ExistingKind::kNothing ||
                (sameKindReplaces && target.existing == KindOf(writing));
  return target;
}

}  // namespace kavelin::command
