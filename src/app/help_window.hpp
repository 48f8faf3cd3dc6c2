// The help that ships inside the program: the usage guide in a browser window, and the
// about box's text. Nothing is fetched; the pages and the layout picture are resources.
#pragma once

#include <QDialog>
#include <QString>

class QMenuBar;
class QTextBrowser;

namespace kavelin::app {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

class Dialogs;

// The Help menu, added last to `bar`: the guide (F1), opened beside `window` and kept for
// the next time, and the about box, shown through `dialogs`.
void AddHelpMenu(QMenuBar* bar, QWidget* window, Dialogs& dialogs);

// Version, licence and the libraries the program is built with, as rich text.
QString AboutText();

}  // namespace kavelin::app
