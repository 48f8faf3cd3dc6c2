#include "app/form_controls.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>

#include "app/form_plan.hpp"
#include "app/list_accessible.hpp"
#include "app/list_search.hpp"
#include "app/qt_text.hpp"
#include "app/text_box.hpp"
#include "app/window_texts.hpp"

namespace kavelin::app {

QString Indexed(const char* base, std::size_t i) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i);
}

void Place(QWidget* widget, const QString& name, Rect at) {
  widget->setObjectName(name);
  widget->setGeometry(Px(at.left), Px(at.top), Px(at.width), Px(at.height));
}

QLabel* Caption(QWidget* parent, const QString& name, std::u16string_view text, Rect at,
                Qt::Alignment align) {
  auto* label = new QLabel(Q(text), parent);
  Place(label, name, at);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(align);
  return label;
}

QLabel* Display(QWidget* parent, const QString& name, Rect at) {
  // Its own class tells assistive tools to read out its text, not only its name.
  auto* label = new ValueDisplay(parent);
  Place(label, name, at);
  // Its leading space is part of the number's form.
  label->setTextFormat(Qt::PlainText);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setLineWidth(1);
  // The narrow palette columns need every pixel for "0xDC"; the default indent clips it.
  label->setIndent(1);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

TextBox* Box(QWidget* parent, const QString& name, Rect at, int typedLimit,
             std::u16string_view text) {
  auto* box = new TextBox(parent);
  Place(box, name, at);
  box->setText(Q(text));
  box->SetTypedLimit(typedLimit);
  box->SetSelectAllOnFocus(true);
  return box;
}

QComboBox* List(QWidget* parent, const QString& name, Rect at, sheet::ListId list) {
  auto* combo = new QComboBox(parent);
  Place(combo, name, at);
  const QSignalBlocker quiet(combo);
  for (const std::u16string_view entry : sheet::ListEntries(list))
    combo->addItem(Q(entry));
  // Start-up selects the first entry, which runs the list's reaction as a user's choice.
  combo->setCurrentIndex(-1);
  SetUpList(combo, list);
  return combo;
}

QCheckBox* Tick(QWidget* parent, const QString& name, std::u16string_view text, Rect at) {
  auto* tick = new QCheckBox(Q(text), parent);
  Place(tick, name, at);
  return tick;
}

QGroupBox* Frame(QWidget* parent, const QString& name, std::u16string_view caption, Rect at) {
  auto* frame = new QGroupBox(Q(caption), parent);
  Place(frame, name, at);
  // Named by its own caption; Qt's interface would take a nested frame's from outside it.
  frame->setAccessibleName(Q(caption));
  return frame;
}

namespace {
constexpr char kOwnTipProperty[] = "kavelinOwnTip";
}  // namespace

void Describe(QWidget* widget, const QString& name, const QString& tip) {
  // Qt announces every name it is given, even the same one; a reader would hear it again.
  if (widget->accessibleName() != name) widget->setAccessibleName(name);
  widget->setToolTip(tip);
  widget->setProperty(kOwnTipProperty, tip);
}

QString OwnTip(const QWidget* widget) {
  return widget->property(kOwnTipProperty).toString();
}

void SetOwnTip(QWidget* widget, const QString& tip) {
  widget->setProperty(kOwnTipProperty, tip);
  // A live mark's messages stay until the mark goes, which brings this tip back.
  if (MarkOf(widget) == Mark::kNone) widget->setToolTip(tip);
}

namespace {
constexpr char kMarkProperty[] = "kavelinMark";
}  // namespace

void SetMark(QWidget* widget, Mark mark, const QString& message) {
  const char* value = mark == Mark::kError ? "error" : mark == Mark::kWarning ? "warning" : "";
  const bool changed = widget->property(kMarkProperty).toString() != QLatin1String(value);
  widget->setProperty(kMarkProperty, QString::fromLatin1(value));
  widget->setToolTip(mark == Mark::kNone ? OwnTip(widget) : message);
  if (!changed) return;
  // Style sheets read dynamic properties only when the widget is polished again.
  widget->style()->unpolish(widget);
  widget->style()->polish(widget);
  widget->update();
}

Mark MarkOf(const QWidget* widget) {
  const QString value = widget->property(kMarkProperty).toString();
  return value == QLatin1String("error")     ? Mark::kError
         : value == QLatin1String("warning") ? Mark::kWarning
                                             : Mark::kNone;
}

QString MarkStyleRules() {
  // A frame, so that the text inside keeps its colours and stays readable.
  return QStringLiteral(
      "*[kavelinMark=\"error\"] { border: 2px solid #d01010; }"
      "*[kavelinMark=\"warning\"] { border: 2px solid #e09000; }");
}

void Label(QLabel* caption, QWidget* input, const QString& tip) {
  caption->setBuddy(input);
  Describe(input, caption->text(), tip);
}

QString RangeText(validate::FieldId field) {
  return Q(RangeText16(field));
}

void Select(QComboBox* combo, int position) {
  combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : 0);
}

}  // namespace kavelin::app
