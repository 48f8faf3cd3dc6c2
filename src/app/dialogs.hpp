// Every message box and the open-file dialog of the window go through this interface, so
// that tests answer them from a script and never wait on a person.
#pragma once

#include <QString>

class QWidget;

namespace kavelin::app {

// The four kinds of box the program shows.
enum class BoxIcon {
  kStop,         // OK
  kQuestion,     // Yes and No
  kExclamation,  // Yes and No
  kInformation,  // OK
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal box with an OK button.
  virtual void Show(const QString& text, BoxIcon icon, const QString& title) = 0;
  // A modal box with Yes and No; true only when Yes was pressed.
  virtual bool Ask(const QString& text, BoxIcon icon, const QString& title) = 0;
  // The chosen existing file's path, or empty when the user cancelled.
  virtual QString OpenFile(const QString& title, const QString& filterName,
                           const QString& filterPatterns) = 0;
};

// The real thing: QMessageBox and QFileDialog over `parent`.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Show(const QString& text, BoxIcon icon, const QString& title) override;
  bool Ask(const QString& text, BoxIcon icon, const QString& title) override;
  QString OpenFile(const QString& title, const QString& filterName,
                   const QString& filterPatterns) override;

 private:
  QWidget* parent_;
};

}  // namespace kavelin::app
