// What a list leaves behind for assistive tools when it goes, which reading the window through
// AT-SPI (window_audit.py) does not reach: an entry asked for again must not reach a dead list.
#include <QAccessible>
#include <QComboBox>

#include "app/window_fixture.hpp"

namespace kavelin::app::testing {
namespace {

TEST_F(WindowTest, AListsEntriesGoWithIt) {
  auto* list = new QComboBox(Get<QWidget>("SheetForm"));
  list->addItems({"a", "b"});
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
  ASSERT_EQ(face->childCount(), 2);
  QAccessibleInterface* second = face->child(1);
  EXPECT_EQ(face->indexOfChild(second), 1);
  EXPECT_EQ(second->parent(), face);
  list->setCurrentIndex(1);
  list->setEnabled(false);
  EXPECT_TRUE(second->state().selected);
  EXPECT_TRUE(second->state().disabled);
  EXPECT_FALSE(face->child(0)->state().selected);
  const QAccessible::Id id = QAccessible::uniqueId(second);
  delete list;
  // A tool that asks for the entry again gets nothing, not an interface over a dead list.
  EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

}  // namespace
}  // namespace kavelin::app::testing
