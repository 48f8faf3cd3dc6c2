// kavelin: the character designer's window. An optional first argument names a template
// image, loaded once the window is visible.
#include "app/application.hpp"
#include "io/atomic_file.hpp"

int main(int argc, char* argv[]) {
  // A window closed by a signal mid-save leaves no hidden temporary behind.
  kavelin::io::RemoveTemporariesOnSignals();
  return kavelin::app::RunApplication(argc, argv);
}
