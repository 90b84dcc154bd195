#pragma once

#include <span>
#include <string_view>

// The review program's cards: the words of the 24 practice units, generated with the content
// tables (tools/gen_content.py) from the same sources.
namespace review {

struct CodeLetter {
    std::string_view character;  // "常"
    std::string_view pinyin;     // "chang": the reading that gives the letter
};

struct Card {
    std::string_view word;       // as the content writes it: "Africa", "back", "able"
    std::string_view meaning;    // the headword line's meaning, or the practice word's
    std::string_view code;       // the 汉字码
    int unit;                    // 1..24
    std::string_view phonetic;   // the word list's phonetic line ("ache   /   eIk"); empty for units 13-24
    std::string_view recording;  // the sound table's path ("sound\\b\\155.wav"), or
                                 // "sound/review/<letter>/<word>.wav" for units 13-24
    std::span<const CodeLetter> letters;  // one per letter of the word
};

// Every card: unit 1 to 24, each unit in its sheet order.
std::span<const Card> allCards();

} // namespace review
