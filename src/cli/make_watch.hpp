// make --watch: the patch made again each time its template or sheet file is saved, until
// the user ends the watch.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kavelin::cli {

// The local time of day, HH:MM:SS, that begins each line a watch prints.
std::string ClockTime();

// Calls `make` once, then again each time one of `files` has been saved (written in place
// or renamed over) and has stayed unchanged for a poll, so that a save still being written
// is not taken half-way. A file that goes missing or cannot be looked at is said once and
// waited for. SIGINT, SIGTERM or SIGHUP ends the watch once a make under way has finished
// (a second one ends the process at once, as before); the process then ends by that signal.
// Returns only when the watch could not start, with the exit code.
int WatchSaves(const std::vector<std::filesystem::path>& files, const std::function<void()>& make);

}  // namespace kavelin::cli
