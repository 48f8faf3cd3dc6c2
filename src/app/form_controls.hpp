// The kinds of control the window is made of, each placed by its twips rectangle and
// named as tests and assistive tools find it.
#pragma once

#include <QString>
#include <Qt>
#include <cstddef>
#include <string_view>

#include "app/form_geometry.hpp"
#include "sheet/catalogue.hpp"
#include "validate/field_id.hpp"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QWidget;

namespace kavelin::app {

class TextBox;

// "Base(i)", the name of one control of an indexed family.
QString Indexed(const char* base, std::size_t i);

void Place(QWidget* widget, const QString& name, Rect at);

QLabel* Caption(QWidget* parent, const QString& name, std::u16string_view text, Rect at,
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
// A value display: a label with a single-line border, its text plain and never trimmed.
QLabel* Display(QWidget* parent, const QString& name, Rect at);
TextBox* Box(QWidget* parent, const QString& name, Rect at, int typedLimit,
             std::u16string_view text);
// A list of the catalogue's entries, without a selection until start-up selects one.
QComboBox* List(QWidget* parent, const QString& name, Rect at, sheet::ListId list);
QCheckBox* Tick(QWidget* parent, const QString& name, std::u16string_view text, Rect at);
QGroupBox* Frame(QWidget* parent, const QString& name, std::u16string_view caption, Rect at);

// Names a control for assistive tools and explains it in its tooltip. The tooltip is also
// kept as the control's own, to come back when a mark that showed a message there clears.
void Describe(QWidget* widget, const QString& name, const QString& tip);
QString OwnTip(const QWidget* widget);
// Changes the tip Describe gave, which shows whenever no live mark's messages do.
void SetOwnTip(QWidget* widget, const QString& tip);
// A live mark on a control: a red frame for an error, an amber one for a warning. While it
// is shown, its message takes the tooltip's place; kNone brings the control's own back.
enum class Mark { kNone, kWarning, kError };
void SetMark(QWidget* widget, Mark mark, const QString& message = {});
Mark MarkOf(const QWidget* widget);
// The rules that draw the marks, for the window's style sheet.
QString MarkStyleRules();

// A caption that names an input: the label is its buddy, and its name is the caption.
void Label(QLabel* caption, QWidget* input, const QString& tip);
// A numeric field's range: "5～90", "3～99 または 128".
QString RangeText(validate::FieldId field);

// Selects `position`, or the first entry when it is outside the list.
void Select(QComboBox* combo, int position);

}  // namespace kavelin::app
