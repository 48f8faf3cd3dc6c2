// The window's controls as screen readers meet them: each named by its caption, and what it
// shows as its value. Qt's own interface names a list by its chosen entry on Linux, so a
// user would hear "【FF】なし" eight times and never "技1"; a label named by its caption
// hides the number it shows; the status bar's item would keep its name while its counts
// change.
#pragma once

#include <QLabel>

namespace kavelin::app {

// A value display, as Display() makes them: a class of its own, so that the interface that
// reads its text out is the one chosen when a tool first asks for it.
class ValueDisplay : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
};

// Installs the interfaces for the window and the preview window (frames), the displays
// (their text), the lists of those windows (the chosen entry as the value and as text,
// every entry a child) and the status bar's button (its text after its name); once per
// process, before the window is made.
void InstallWindowAccessibility();

}  // namespace kavelin::app
