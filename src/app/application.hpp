// The program's start-up, shared by `kavelin` and the start-up benchmark, so that what is
// measured is exactly what users start.
#pragma once

namespace kavelin::app {

// Answers --version and --help without a display; otherwise creates the application and
// the window, shows it, opens the file named on the command line by its kind, and runs
// until the window closes. With `quitAfterFirstPaint` it returns as soon
// as the window has painted itself once, for timing the start.
int RunApplication(int argc, char* argv[], bool quitAfterFirstPaint = false);

}  // namespace kavelin::app
