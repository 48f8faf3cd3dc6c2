#include "app/list_accessible.hpp"

#include <QAccessibleWidget>
#include <QComboBox>

#include "app/sheet_form.hpp"

namespace kavelin::app {
namespace {

class ListAccessible : public QAccessibleWidget {
 public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {
    addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
  }
  QString text(QAccessible::Text t) const override {
    const auto* list = static_cast<const QComboBox*>(widget());
    switch (t) {
      case QAccessible::Name:
        return list->accessibleName();
      case QAccessible::Value:
        return list->currentText();
      default:
        return QAccessibleWidget::text(t);
    }
  }
};

QAccessibleInterface* ListFactory(const QString& className, QObject* object) {
  auto* list = qobject_cast<QComboBox*>(object);
  if (className != QLatin1String(object->metaObject()->className()) || list == nullptr)
    return nullptr;
  // Only the sheet's lists; Qt's interface serves every other. Asked as soon as a list is
  // made, so the form it is made in tells, not anything set on the list afterwards.
  for (QObject* up = list->parent(); up != nullptr; up = up->parent()) {
    if (qobject_cast<SheetForm*>(up) != nullptr) return new ListAccessible(list);
  }
  return nullptr;
}

}  // namespace

void InstallListAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(ListFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace kavelin::app
