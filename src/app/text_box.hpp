// A single-line text box with the window's focus behaviour.
#pragma once

#include <QLineEdit>
#include <QString>

class QEvent;

namespace kavelin::app {

// A text box keeps Ctrl+Z and Ctrl+Y only while it has typing of its own to take back;
// otherwise they go on to the window, which undoes the character. True when the event
// was such a key and has been left to the window.
bool PassUndoToWindow(QEvent* event, bool canUndo, bool canRedo);

class TextBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr);

  // The most characters that can be typed; 0 for no limit. Unlike QLineEdit's maxLength
  // it never cuts text set from code, so a sheet shows exactly what it holds.
  void SetTypedLimit(int limit);
  int TypedLimit() const { return typedLimit_; }

  // Selects the whole text whenever the box receives the focus, so that typing replaces it.
  void SetSelectAllOnFocus(bool on) { selectAllOnFocus_ = on; }

  // Caret at the start, the whole text selected.
  void SelectWhole();

 signals:
  void FocusLost();

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int typedLimit_ = 0;
  bool selectAllOnFocus_ = false;
  // A click that gives the focus places the caret on press; the selection follows on release.
  bool selectOnRelease_ = false;
};

}  // namespace kavelin::app
