// The file named on the window's command line, as a file manager hands it over.
#include "app/main_window.hpp"
#include "command/file_kind.hpp"

namespace kavelin::app {

void MainWindow::OpenCommandLineFile(const std::filesystem::path& file) {
  switch (command::KindOfFile(file)) {
    case command::FileKind::kPatch:
      OpenPatchFile(file);
      return;
    case command::FileKind::kSheet:
      OpenSheetFile(file);
      return;
    case command::FileKind::kTemplate:
    case command::FileKind::kUnknown:
      // Anything else is the template of start-up, which reports what it cannot load.
      LoadCommandLineTemplate(file);
      return;
  }
}

}  // namespace kavelin::app
