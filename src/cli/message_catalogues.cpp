#include "cli/message_catalogues.hpp"

#include <system_error>

#include "text/executable_folder.hpp"

namespace kavelin::cli {

std::filesystem::path CatalogueFolder() {
  namespace fs = std::filesystem;
  const fs::path installed = KAVELIN_INSTALL_LOCALEDIR;
  const fs::path program = text::ExecutableFolder();
  std::error_code error;
  if (!program.empty() && fs::equivalent(program, KAVELIN_INSTALL_BINDIR, error)) return installed;
  if (!program.empty() && fs::is_directory(program / "locale", error)) return program / "locale";
#ifdef KAVELIN_BUILD_LOCALEDIR
  // Only a build with its tests knows its tree; a packaged program carries no build path.
  if (fs::is_directory(KAVELIN_BUILD_LOCALEDIR, error)) return KAVELIN_BUILD_LOCALEDIR;
#endif
  return installed;
}

}  // namespace kavelin::cli
