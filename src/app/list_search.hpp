// How the window's lists take the user's choices: a list changes only when the user means
// it, a long list can be searched by typing any part of an entry, and no popup fills the
// screen.
#pragma once

#include <QFrame>
#include <QSortFilterProxyModel>
#include <functional>
#include <optional>

#include "sheet/catalogue.hpp"

class QComboBox;
class QLineEdit;
class QListView;

namespace kavelin::app {

// Lists longer than this, and the four art and equipment lists, are searched by typing.
inline constexpr int kSearchFrom = 20;
// Rows a popup shows at once.
inline constexpr int kPopupRows = 20;

// Sets up a list built by List(): it remembers which list it shows, ignores the wheel
// unless it has the focus (the wheel then goes to the window), keeps its popup to
// kPopupRows rows, and, when it is long or one of the art and equipment lists, opens a
// search as soon as the user types.
void SetUpList(QComboBox* combo, sheet::ListId list);
// The list a combo built by List() shows.
std::optional<sheet::ListId> ListOf(const QComboBox* combo);
bool IsSearchable(const QComboBox* combo);

// What a list does when the user asks for its context menu: a right click, the menu key or
// Shift+F10, on the list or on an entry of its open popup. `row` is the entry meant and
// `at` the screen point the menu opens at.
using EntryMenu = std::function<void(QComboBox* combo, int row, const QPoint& at)>;
// Every list under `root` that List() built offers `menu`, lists made later included.
void SetEntryMenu(QWidget* root, EntryMenu menu);

// The entries of one list that contain the typed text, ignoring case and the difference
// between full-width and half-width forms.
class EntryFilter : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void SetText(const QString& text);
  // Text folded so that "０ｆ" finds "【0F】".
  static QString Fold(const QString& text);

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  QString folded_;
};

// The search under a list: a line for the typed text over the entries that match. The
// arrow keys move among them, Enter or a click chooses one, Escape leaves the list as it
// was. A choice is made as a mouse choice is, so the list's reactions run.
class ListSearch : public QFrame {
 public:
  explicit ListSearch(QComboBox* combo);
  // Opens under the list with `typed` already in the line.
  void Open(const QString& typed);
  // Chooses the highlighted entry; false when nothing matches.
  bool Choose();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Filter(const QString& text);
  void Move(int rows);

  QComboBox* combo_;
  QLineEdit* line_;
  QListView* results_;
  EntryFilter* filter_;
};

}  // namespace kavelin::app
