#pragma once

#include <filesystem>

namespace kavelin::text {

// The folder that holds the running executable, resolved from the real executable path
// (symbolic links followed), or an empty path when the platform cannot tell.
std::filesystem::path ExecutableFolder();

}  // namespace kavelin::text
