#pragma once

#include <span>
#include <string_view>
#include <vector>

#include <QString>

#include "review/cards.h"

namespace review {

// One step of the alignment of the typed answer against the word.
struct LetterMark {
    enum class State { Right, Wrong, Missing, Extra };
    State state = State::Right;
    QChar letter;  // the word's letter; for Extra, the typed one
    QChar typed;   // what was typed in its place (Wrong), else null
    int index = -1;  // the letter's place in the word; -1 for Extra
    // The code character that spells the word's letter and its reading (Wrong and Missing).
    QString character;
    QString pinyin;  // in capitals: "CHANG"
};

struct AnswerCheck {
    bool right = false;
    std::vector<LetterMark> marks;  // in word order; empty when right
};

// Case-insensitive, blanks around the answer ignored. On a wrong answer, the fewest
// edits (Levenshtein) that turn the typed text into the word, letter by letter.
AnswerCheck checkAnswer(const Card& card, const QString& typed);

// The front a meaning is asked with, without the hint that tells two cards apart: "疼痛" for
// "疼痛（泛指）".
QString sharedMeaning(const Card& card);
// The other card the typed word belongs to when it asks the same meaning ("pain" for ache's
// 疼痛): a right word, only not this card's. Null otherwise.
const Card* otherCardOfMeaning(const Card& card, const QString& typed, std::span<const Card> cards = allCards());

// The feedback in words: "缺 c：常 CHANG", "错 h（写成 k）：喝 HE", "多 x".
QStringList describe(const AnswerCheck& check);

} // namespace review
