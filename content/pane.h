#pragma once

#include <string_view>

#include <QString>

class QPlainTextEdit;
class QComboBox;

namespace content {

// Content text to the pane's text: a lone CR, a lone LF and a CR LF pair each become one line break.
QString paneText(std::string_view payload);

// The pane write rule: replaces the pane's whole text, unless it already shows exactly that text,
// in which case nothing is written and the caret, selection and scroll position stay.
void writePane(QPlainTextEdit* pane, std::string_view payload);
void writePane(QPlainTextEdit* pane, const QString& text);

// Sets a combo box's edit text by program, only when it differs. Programmatic writes never
// raise the box's change event (handlers listen to user edits only).
void writeBox(QComboBox* box, std::string_view text);

} // namespace content

#include "content/keyed_text_table.h"

namespace content {

// The bindings windows hand to the one pass.
Source boxSource(const QComboBox* box);
Target paneTarget(QPlainTextEdit* pane);
Target boxTarget(QComboBox* box);

} // namespace content
