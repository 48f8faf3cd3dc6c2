#include "app/list_accessible.hpp"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <vector>

#include "app/game_preview_window.hpp"
#include "app/main_window.hpp"
#include "app/qt_text.hpp"
#include "app/window_texts.hpp"

namespace kavelin::app {
namespace {

// Text a control shows and the user cannot edit, read out through the text interface.
class ShownText : public QAccessibleTextInterface {
 public:
  void selection(int, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
  }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    const QString shown = Shown();
    // Tools ask for "to the end" as -1.
    const auto size = static_cast<int>(shown.size());
    const int end = endOffset < 0 || endOffset > size ? size : endOffset;
    const int start = std::clamp(startOffset, 0, end);
    return shown.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(Shown().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* startOffset, int* endOffset) const override {
    // No attributes anywhere: one run over the whole text.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
  }

 protected:
  ~ShownText() override = default;
  virtual QString Shown() const = 0;
};

// A display: named by its caption, its value the text it shows.
class DisplayAccessible : public QAccessibleWidget, public ShownText {
 public:
  explicit DisplayAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  using ShownText::text;
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Shown();
    const QString own = QAccessibleWidget::text(t);
    return t == QAccessible::Name && own.isEmpty() ? Shown() : own;
  }
  // A palette value's swatch of the game's fixed colour is a picture of what the value's
  // tooltip says; a reader hears the value alone.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

 private:
  QString Shown() const override { return static_cast<const QLabel*>(widget())->text(); }
};

// One entry of a list, as a child of the list. The entry is there whether the list is open
// or not, and whether it is enabled or not.
class EntryAccessible : public QAccessibleInterface {
 public:
  EntryAccessible(QComboBox* list, int entry) : list_(list), entry_(entry) {}

  bool isValid() const override { return list_ && entry_ < list_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(list_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    return isValid() && (t == QAccessible::Name || t == QAccessible::Value)
               ? list_->itemText(entry_)
               : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return {}; }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    state.selectable = true;
    state.selected = list_->currentIndex() == entry_;
    state.disabled = !list_->isEnabled();
    // On screen only in the list's popup, which has entries of its own.
    state.offscreen = true;
    return state;
  }

 private:
  QPointer<QComboBox> list_;
  int entry_;
};

// A list: named by its caption, its value the chosen entry, its entries its children.
class ListAccessible : public QAccessibleWidget, public ShownText {
 public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {
    addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
  }
  ~ListAccessible() override {
    for (const QAccessible::Id id : entries_) {
      if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  using ShownText::text;
  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name: {
        // The caption, else the label that names it; a list with neither is its entry.
        const QString own = QAccessibleWidget::text(t);
        return own.isEmpty() ? Shown() : own;
      }
      case QAccessible::Value:
        return Shown();
      default:
        return QAccessibleWidget::text(t);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = List()->view()->isVisible();
    return state;
  }
  int childCount() const override { return List()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= List()->count()) return nullptr;
    const auto at = static_cast<std::size_t>(index);
    if (entries_.size() <= at) entries_.resize(at + 1, 0);
    // Made as a tool first asks, and kept while the list lives, so that an entry keeps its
    // identity between two questions.
    if (entries_[at] == 0)
      entries_[at] = QAccessible::registerAccessibleInterface(new EntryAccessible(List(), index));
    return QAccessible::accessibleInterface(entries_[at]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [child](QAccessible::Id id) {
      return id != 0 && QAccessible::accessibleInterface(id) == child;
    });
    return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

 private:
  QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
  QString Shown() const override { return List()->currentText(); }

  mutable std::vector<QAccessible::Id> entries_;
};

// The status bar's button: its text, the live check's counts, follows its name, so that a
// reader hears the counts and the name change is announced as the text changes.
class StatusItemAccessible : public QAccessibleWidget {
 public:
  explicit StatusItemAccessible(QPushButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    const QString shown = Button()->text();
    switch (t) {
      case QAccessible::Name:
        return shown.isEmpty() ? Button()->accessibleName()
                               : Q(kNamedValue).arg(Button()->accessibleName(), shown);
      case QAccessible::Value:
        return shown;
      default:
        return QAccessibleWidget::text(t);
    }
  }
  QStringList actionNames() const override {
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) {
      Button()->click();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  QPushButton* Button() const { return static_cast<QPushButton*>(widget()); }
};

// Whether `widget` is in one of the program's own windows rather than in a dialog.
bool InOwnWindow(const QWidget* widget) {
  const QWidget* up = widget;
  while (up != nullptr && !up->isWindow())
    up = up->parentWidget();
  return qobject_cast<const MainWindow*>(up) != nullptr ||
         qobject_cast<const GamePreviewWindow*>(up) != nullptr;
}

QAccessibleInterface* WindowFactory(const QString& className, QObject* object) {
  // Asked for each class from the most derived up; only the object's own class counts.
  if (className != QLatin1String(object->metaObject()->className())) return nullptr;
  if (auto* display = qobject_cast<ValueDisplay*>(object)) return new DisplayAccessible(display);
  // The program's own windows are frames, as its dialogs are, not fillers.
  if (qobject_cast<MainWindow*>(object) != nullptr ||
      qobject_cast<GamePreviewWindow*>(object) != nullptr) {
    auto* window = static_cast<QWidget*>(object);
    if (window->isWindow()) return new QAccessibleWidget(window, QAccessible::Window);
  }
  // Asked as soon as a control is made, so the parent it is made in tells, not anything set
  // on it afterwards.
  if (auto* button = qobject_cast<QPushButton*>(object);
      button != nullptr && qobject_cast<QStatusBar*>(button->parent()) != nullptr)
    return new StatusItemAccessible(button);
  // A dialog's lists, which may be edited, keep Qt's interface.
  if (auto* list = qobject_cast<QComboBox*>(object); list != nullptr && InOwnWindow(list))
    return new ListAccessible(list);
  return nullptr;
}

}  // namespace

void InstallWindowAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(WindowFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace kavelin::app
