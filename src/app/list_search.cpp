#include "app/list_search.hpp"

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "app/qt_text.hpp"
#include "app/window_texts.hpp"

namespace kavelin::app {
namespace {

constexpr char kListProperty[] = "kavelinList";

bool IsArtOrEquipment(sheet::ListId list) {
  return list == sheet::ListId::kTechnique || list == sheet::ListId::kSpell ||
         list == sheet::ListId::kWeapon || list == sheet::ListId::kArmour;
}

// Text that starts a search: something printable, typed without Ctrl or Alt, so that the
// keys that move in a list or open it keep their meaning.
bool StartsSearch(const QKeyEvent* key) {
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key->text();
  if (text.isEmpty()) return false;
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }) &&
         !text.trimmed().isEmpty();
}

constexpr char kEntryMenuName[] = "kavelinEntryMenu";

// The menu SetEntryMenu gave a window, kept as a child of its root.
class EntryMenuHolder : public QObject {
 public:
  EntryMenuHolder(QWidget* root, EntryMenu menu) : QObject(root), menu_(std::move(menu)) {
    setObjectName(kEntryMenuName);
  }
  const EntryMenu& Menu() const { return menu_; }

 private:
  EntryMenu menu_;
};

// Looked up when asked for, so that lists made before SetEntryMenu offer it too.
const EntryMenuHolder* EntryMenuOf(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    for (QObject* child : widget->children()) {
      if (child->objectName() != QLatin1String(kEntryMenuName)) continue;
      if (const auto* holder = dynamic_cast<const EntryMenuHolder*>(child)) return holder;
    }
  }
  return nullptr;
}

bool AsksForMenu(const QKeyEvent* key) {
  return key->key() == Qt::Key_Menu ||
         (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

// Watches one list: the wheel passes it by unless it has the focus, typing opens the
// search, and the context menu is the window's entry menu.
class ListGuard : public QObject {
 public:
  explicit ListGuard(QComboBox* combo) : QObject(combo), combo_(combo) {
    combo->installEventFilter(this);
    // While the list's own popup is open, typing goes to its view. Installed after the
    // popup's own filters, so this one sees a right click first: the popup takes any
    // button's release as a choice.
    combo->view()->installEventFilter(this);
    combo->view()->viewport()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (MenuEvent(watched, event)) return true;
    if (watched == combo_ && event->type() == QEvent::Wheel && !combo_->hasFocus()) {
      // Ignored and swallowed: Qt then offers the wheel to the widgets under the list.
      event->ignore();
      return true;
    }
    if (event->type() == QEvent::KeyPress && IsSearchable(combo_)) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (StartsSearch(key)) {
        if (watched != combo_) combo_->hidePopup();
        Search()->Open(key->text());
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // Whether `event` asked for the entry menu, which is then open.
  bool MenuEvent(QObject* watched, QEvent* event) {
    const EntryMenuHolder* holder = nullptr;
    const auto open = [&](int row, QPoint at) {
      if (holder == nullptr) holder = EntryMenuOf(combo_);
      if (holder != nullptr && row >= 0) holder->Menu()(combo_, row, at);
    };
    // Other events reach the filter while the list is made or destroyed, when it is no
    // list yet or any more: it is touched only for the events asked about here.
    switch (event->type()) {
      case QEvent::ContextMenu:
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        break;
      default:
        return false;
    }
    QAbstractItemView* view = combo_->view();
    const bool onPopup = watched == view || watched == view->viewport();
    switch (event->type()) {
      case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (onPopup) {
          // A right click was handled on its press.
          if (menu->reason() != QContextMenuEvent::Mouse)
            open(view->currentIndex().row(), PopupPoint());
        } else {
          open(combo_->currentIndex(), menu->reason() == QContextMenuEvent::Mouse
                                           ? menu->globalPos()
                                           : combo_->mapToGlobal(QPoint(0, combo_->height())));
        }
        return true;
      }
      case QEvent::KeyPress:
        if (!AsksForMenu(static_cast<QKeyEvent*>(event))) return false;
        if (onPopup)
          open(view->currentIndex().row(), PopupPoint());
        else
          open(combo_->currentIndex(), combo_->mapToGlobal(QPoint(0, combo_->height())));
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched != view->viewport() || mouse->button() != Qt::RightButton) return false;
        if (event->type() == QEvent::MouseButtonPress) {
          const QModelIndex under = view->indexAt(mouse->position().toPoint());
          if (under.isValid()) {
            view->setCurrentIndex(under);
            open(under.row(), mouse->globalPosition().toPoint());
          }
        }
        return true;
      }
      default:
        return false;
    }
  }

  // Beside the highlighted entry of the open popup.
  QPoint PopupPoint() const {
    QAbstractItemView* view = combo_->view();
    const QRect row = view->visualRect(view->currentIndex());
    return view->viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint());
  }

  ListSearch* Search() {
    if (search_ == nullptr) search_ = new ListSearch(combo_);
    return search_;
  }

  QComboBox* combo_;
  ListSearch* search_ = nullptr;
};

}  // namespace

void SetUpList(QComboBox* combo, sheet::ListId list) {
  combo->setProperty(kListProperty, static_cast<int>(list));
  // The wheel no longer takes the focus, so passing over a list never changes it.
  combo->setFocusPolicy(Qt::StrongFocus);
  combo->setMaxVisibleItems(kPopupRows);
  // Some styles open a list as a menu over the whole screen and ignore the row limit; a
  // plain drop-down list keeps it.
  combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
  new ListGuard(combo);
}

void SetEntryMenu(QWidget* root, EntryMenu menu) {
  const QObjectList children = root->children();  // a copy: deleting changes the list
  for (QObject* child : children) {
    if (child->objectName() == QLatin1String(kEntryMenuName)) delete child;
  }
  new EntryMenuHolder(root, std::move(menu));
}

std::optional<sheet::ListId> ListOf(const QComboBox* combo) {
  const QVariant list = combo->property(kListProperty);
  if (!list.isValid()) return std::nullopt;
  return static_cast<sheet::ListId>(list.toInt());
}

bool IsSearchable(const QComboBox* combo) {
  const auto list = ListOf(combo);
  return combo->count() > kSearchFrom || (list && IsArtOrEquipment(*list));
}

QString EntryFilter::Fold(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

void EntryFilter::SetText(const QString& text) {
  folded_ = Fold(text.trimmed());
  invalidateFilter();
}

bool EntryFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
  if (folded_.isEmpty()) return true;
  const QString entry = sourceModel()->index(row, 0, parent).data(Qt::DisplayRole).toString();
  return Fold(entry).contains(folded_);
}

ListSearch::ListSearch(QComboBox* combo)
    : QFrame(combo, Qt::Popup),
      combo_(combo),
      line_(new QLineEdit(this)),
      results_(new QListView(this)),
      filter_(new EntryFilter(this)) {
  setObjectName("ListSearch");
  setFrameStyle(QFrame::Box | QFrame::Plain);
  line_->setObjectName("ListSearchText");
  line_->setPlaceholderText(Q(kListSearchHint));
  line_->setAccessibleName(Q(kListSearchName));
  results_->setObjectName("ListSearchResults");
  results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  results_->setUniformItemSizes(true);
  results_->setFocusPolicy(Qt::NoFocus);
  filter_->setSourceModel(combo->model());
  results_->setModel(filter_);
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(1, 1, 1, 1);
  box->setSpacing(1);
  box->addWidget(line_);
  box->addWidget(results_);
  line_->installEventFilter(this);
  connect(line_, &QLineEdit::textChanged, this, &ListSearch::Filter);
  connect(results_, &QListView::clicked, this, [this](const QModelIndex& index) {
    results_->setCurrentIndex(index);
    Choose();
  });
}

void ListSearch::Open(const QString& typed) {
  setFont(combo_->font());
  line_->setText(typed);
  Filter(typed);
  // Under the list, or above it when the screen ends first.
  const QRect screen = combo_->screen()->availableGeometry();
  const int width = std::max(combo_->width(), fontMetrics().averageCharWidth() * 32);
  resize(width, sizeHint().height());
  QPoint at = combo_->mapToGlobal(QPoint(0, combo_->height()));
  if (at.y() + height() > screen.bottom())
    at.setY(combo_->mapToGlobal(QPoint(0, 0)).y() - height());
  at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - width)));
  move(at);
  show();
  line_->setFocus();
  line_->end(false);
}

void ListSearch::Filter(const QString& text) {
  filter_->SetText(text);
  // The matches are shown whole up to the row limit; the view scrolls beyond it.
  const int shown = std::clamp(filter_->rowCount(), 1, kPopupRows);
  const int row =
      filter_->rowCount() > 0 ? results_->sizeHintForRow(0) : results_->fontMetrics().height() + 2;
  results_->setFixedHeight(shown * row + 2 * results_->frameWidth());
  // The entry the list holds stays highlighted while it matches; else the first match.
  QModelIndex current = filter_->mapFromSource(combo_->model()->index(combo_->currentIndex(), 0));
  if (!current.isValid()) current = filter_->index(0, 0);
  results_->setCurrentIndex(current);
  if (current.isValid()) results_->scrollTo(current);
  if (isVisible()) adjustSize();
}

void ListSearch::Move(int rows) {
  const int count = filter_->rowCount();
  if (count == 0) return;
  const int row = std::clamp(results_->currentIndex().row() + rows, 0, count - 1);
  results_->setCurrentIndex(filter_->index(row, 0));
}

bool ListSearch::Choose() {
  const QModelIndex chosen = results_->currentIndex();
  if (!chosen.isValid()) return false;
  const int row = filter_->mapToSource(chosen).row();
  hide();
  // As a mouse choice: the index changes (and with it the list's reaction), then the
  // choice is announced.
  combo_->setCurrentIndex(row);
  emit combo_->activated(row);
  emit combo_->textActivated(combo_->itemText(row));
  combo_->setFocus(Qt::PopupFocusReason);
  return true;
}

bool ListSearch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == line_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Up:
        Move(-1);
        return true;
      case Qt::Key_Down:
        Move(1);
        return true;
      case Qt::Key_PageUp:
        Move(-kPopupRows);
        return true;
      case Qt::Key_PageDown:
        Move(kPopupRows);
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        Choose();
        return true;
      case Qt::Key_Escape:
        hide();
        combo_->setFocus(Qt::PopupFocusReason);
        return true;
      default:
        break;
    }
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace kavelin::app
