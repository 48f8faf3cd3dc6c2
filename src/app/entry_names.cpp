#include "app/entry_names.hpp"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

#include "app/file_reasons.hpp"
#include "app/list_search.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"
#include "io/read_file.hpp"

namespace kavelin::app {

void ShowEntryNames(QWidget* root, const sheet::NamesTable& names) {
  for (QComboBox* combo : root->findChildren<QComboBox*>()) {
    const auto list = ListOf(combo);
    if (!list) continue;
    // A new text for the chosen entry is no new choice.
    const QSignalBlocker quiet(combo);
    for (int p = 0; p < combo->count(); ++p) {
      const std::u16string shown = names.DisplayText(*list, p);
      if (!shown.empty()) combo->setItemText(p, Q(shown));
    }
    // A long name shows whole in the popup, however narrow the list itself is.
    QAbstractItemView* view = combo->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) +
                          view->verticalScrollBar()->sizeHint().width() +
                          2 * view->frameGeometry().x() + 8);
  }
}

QString NamesNote(const std::vector<sheet::NamesProblem>& problems) {
  if (problems.empty()) return {};
  const sheet::NamesProblem& first = problems.front();
  const QString file = DisplayPath(first.file);
  QString note = first.line != 0 ? Q(kNamesSkippedNote).arg(first.line).arg(Q(first.reason), file)
                                 : Q(kNamesFileSkippedNote).arg(Q(first.reason), file);
  if (problems.size() > 1) note += Q(kMoreNamesSkippedNote).arg(problems.size() - 1);
  return note;
}

sheet::NamesLoad ReadWindowNames(std::span<const std::filesystem::path> places) {
  sheet::NamesLoad load = sheet::ReadNamesFiles(places);
  // A file that could not be read at all is said in the window's words; the lines keep
  // the shared reader's.
  for (sheet::NamesProblem& problem : load.problems) {
    if (problem.read) problem.reason = ReadProblemReason(*problem.read).toStdString();
  }
  return load;
}

}  // namespace kavelin::app
