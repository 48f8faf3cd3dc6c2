// kavelin: the character designer's window. An optional first argument names a template
// image, loaded once the window is visible.
#include "app/application.hpp"

int main(int argc, char* argv[]) {
  return kavelin::app::RunApplication(argc, argv);
}
