#pragma once

#include <span>
#include <string_view>

#include "content/keyed_text_table.h"

namespace content {

struct NamedText {
    std::string_view name;
    std::string_view text;
};

// Dictionary
extern const KeyedTextTable TypedEntryTable;
extern const KeyedTextTable TypedPhoneticTable;
extern const KeyedTextTable WordListTable;
extern const KeyedTextTable SoundTable;
// Practice
extern const KeyedTextTable UnitWordSheets;
extern const KeyedTextTable UnitCodeSheets;
// Stories
extern const KeyedTextTable VocabularyUnits;
extern const KeyedTextTable StoryGlossary;
extern const KeyedTextTable ContentsPage;
extern const KeyedTextTable Stories;
extern const KeyedTextTable NextSteps;
extern const KeyedTextTable PreviousSteps;

// Every table, in export order, and every fixed text (pages, initial texts of panes and boxes).
std::span<const KeyedTextTable* const> allTables();
std::span<const NamedText> allTexts();

// A fixed text by name ("StartPage", "PrefacePage", "TForm3.Memo1", ...); empty if unknown.
std::string_view text(std::string_view name);

// Fixed texts as the panes take them.
QString qtext(std::string_view name);

} // namespace content
