#include "command/output_plan.hpp"

#include <string>
#include <unordered_map>

#include "io/atomic_file.hpp"

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

}  // namespace kavelin::command
