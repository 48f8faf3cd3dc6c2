// Every message box and file dialog of the window go through this interface, so
// that tests answer them from a script and never wait on a person.
#pragma once

#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace kavelin::app {

// The four kinds of box the program shows.
enum class BoxIcon {
  kStop,         // OK
  kQuestion,     // Yes and No
  kExclamation,  // Yes and No
  kInformation,  // OK
};

// The three answers of a Yes / No / Cancel box.
enum class Answer { kYes, kNo, kCancel };

// One entry of a save dialog's file types: what the user reads and the name's ending.
struct FileType {
  QString name;    // e.g. "GIF 画像"
  QString suffix;  // without the dot, e.g. "gif"
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
  // A modal box with Yes, No and Cancel; closing it counts as Cancel.
  virtual Answer AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) = 0;
  // The path to write, or empty when the user cancelled. The dialog itself asks before an
  // existing file is chosen, and gives a name without an ending the first type's ending,
  // or that of the type the user picked.
  virtual QString SaveFile(const QString& title, const std::vector<FileType>& types,
                           const QString& suggested) = 0;
  // The folder the next OpenFile starts in; empty leaves it to the dialog.
  virtual void SetOpenFolder(const QString& folder) { (void)folder; }
  // A small box asking for one line of text, `initial` in it; nothing when cancelled.
  virtual std::optional<QString> AskText(const QString& text, const QString& title,
                                         const QString& initial) = 0;
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
  Answer AskYesNoCancel(const QString& text, BoxIcon icon, const QString& title) override;
  QString SaveFile(const QString& title, const std::vector<FileType>& types,
                   const QString& suggested) override;
  void SetOpenFolder(const QString& folder) override { openFolder_ = folder; }
  std::optional<QString> AskText(const QString& text, const QString& title,
                                 const QString& initial) override;

 private:
  QWidget* parent_;
  QString openFolder_;
};

}  // namespace kavelin::app
