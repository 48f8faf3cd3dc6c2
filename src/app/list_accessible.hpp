// The window's lists as screen readers meet them: named by their caption, their chosen
// entry as the value. Qt's own interface names a list by its chosen entry on Linux, so a
// user would hear "【FF】なし" eight times and never "技1".
#pragma once

namespace kavelin::app {

// Installs the interface for the lists the window builds; once per process.
void InstallListAccessibility();

}  // namespace kavelin::app
