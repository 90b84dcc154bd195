#pragma once

#include <cstdint>
#include <string>

// What the scheduler, the store and the drill say to each other.
namespace review {

enum class Grade : int { Again = 1, Hard = 2, Good = 3, Easy = 4 };
enum class Mode : int { Recall = 0, Dictation = 1 };

// FSRS memory state; stability 0 marks a card never answered.
struct MemoryState {
    double stability = 0;
    double difficulty = 0;
    bool isNew() const { return stability <= 0; }
};

// One card's progress as it is kept. Days are learning days: a day starts at 04:00 local time.
struct CardProgress {
    std::string word;  // the card's key: the word as the content writes it ("Africa", "back")
    MemoryState memory;
    std::int64_t lastReviewDay = -1;  // -1: never reviewed
    std::int64_t dueDay = -1;
    std::int64_t firstReviewDay = -1;  // the day it was first answered: counts today's new words
    int reps = 0;
    int lapses = 0;
    int state = 0;             // fsrs::CardState: 0 new, 1 learning, 2 review, 3 relearning
    int step = 0;              // the learning step, while learning or relearning
    std::int64_t dueMs = 0;    // while in a step: when it comes back (ms since the epoch)
    int flags = 0;             // CardFlag bits
    int fails = 0;             // answers graded Again, learning or not
};

// The bits of CardProgress::flags.
namespace CardFlag {
enum : int {
    Shown = 1,      // a new word shown whole, to be asked
    Known = 2,      // marked known (斩): never asked
    Suspended = 4,  // put away by the learner
    Leech = 8,      // failed often
};
} // namespace CardFlag

// One answer as the review log keeps it.
struct ReviewLogEntry {
    std::int64_t timeMs = 0;  // wall clock, ms since the epoch
    std::string word;
    Mode mode = Mode::Recall;
    Grade grade = Grade::Good;
    std::int64_t answerMs = 0;  // from the card shown to the grade
    int intervalDays = 0;       // the interval the scheduler gave
    MemoryState memory;         // the state after the answer
    int state = 0;              // the card's state before the answer (fsrs::CardState)
};

} // namespace review
