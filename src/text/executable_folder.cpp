// Platform door: where the running program lives.
#include "text/executable_folder.hpp"

#include <system_error>

namespace kavelin::text {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || self.empty()) return {};
  return self.parent_path();
}

}  // namespace kavelin::text
