// The program's start-up, shared by `kavelin` and the start-up benchmark, so that what is
// measured is exactly what users start.
#pragma once

namespace kavelin::app {

class Dialogs;
class MainWindow;
class RecentFiles;

// Answers --version and --help without a display; otherwise creates the application and
// the window, shows it, opens the file named on the command line by its kind, and runs
// until the window closes. With `quitAfterFirstPaint` it returns as soon
// as the window has painted itself once, for timing the start.
int RunApplication(int argc, char* argv[], bool quitAfterFirstPaint = false);

// Start-up's words on the window's settings file, over the window: a stop box naming the
// file named with --ini (`named`) and why it could not be read, or a caution about a line
// that is not code page 932. Start-up goes on with the built-in table either way.
void WarnAboutSettings(Dialogs& dialogs, const MainWindow& window, bool named);
// What could not be used of the user's files, in the status line: the names files' bad
// lines, a settings file found but unreadable, and the recent files' record. Never stops
// the window.
void ShowWorkNotes(MainWindow& window, RecentFiles& recent, bool settingsNamed);

}  // namespace kavelin::app
