// The whole program from exec to the window's first paint, for timing with a tool that
// runs whole processes: `hyperfine 'build/bench/benchmarks/bench_app_start examples/hero.gif'`.
#include "app/application.hpp"

int main(int argc, char* argv[]) {
  return kavelin::app::RunApplication(argc, argv, /*quitAfterFirstPaint=*/true);
}
