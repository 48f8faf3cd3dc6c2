#include "command/user_file.hpp"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace kavelin::command {

UserFileBytes ReadUserFile(const std::filesystem::path& file, std::uintmax_t limit) {
  UserFileBytes result;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    result.problem = std::filesystem::exists(file, error) ? ReadProblem::kNotRegularFile
                                                          : ReadProblem::kNoSuchFile;
    return result;
  }
  result.size = std::filesystem::file_size(file, error);
  if (error) {
    result.problem = ReadProblem::kReadFailed;
    result.error = error.value();
    return result;
  }
  if (result.size > limit) {
    result.problem = ReadProblem::kTooLarge;
    return result;
  }
  std::ifstream in(file, std::ios::binary);
  result.bytes.resize(static_cast<std::size_t>(result.size));
  if (!in || !in.read(reinterpret_cast<char*>(result.bytes.data()),
                      static_cast<std::streamsize>(result.bytes.size()))) {
    result.problem = ReadProblem::kReadFailed;
    result.error = errno;
    result.bytes.clear();
  }
  return result;
}

}  // namespace kavelin::command
