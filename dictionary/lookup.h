#pragma once

#include <QFont>
#include <QStringList>

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace dictionary {

// The main window's controls that the dictionary reads and writes.
struct Controls {
    QComboBox* input;          // ComboBox1
    QListWidget* list;         // ListBox1
    QPlainTextEdit* entry;     // Memo1
    QPlainTextEdit* phonetic;  // Memo2
};

// Typed lookup: the entry table, then the phonetic table, over the input box's text.
void typedLookup(const Controls& c);

// Word list: the selected item's row writes the input box (only if it differs), the phonetic
// line, then the entry.
void listLookup(const Controls& c);

// The list's items, one per row of the word list table, in its (case-blind alphabetical) order.
QStringList wordListItems();

// The word list control with its items. Only a left click, the arrow keys and type-ahead choose a
// word: other mouse buttons select nothing.
QListWidget* makeWordList(QWidget* parent);

// The font of the phonetic line: its ASCII letters draw the transcription symbols.
QFont phoneticFont();

} // namespace dictionary
