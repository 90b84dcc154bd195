#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "review/model.h"

// FSRS-6 as ts-fsrs schedules it. next(): long-term intervals only (enable_short_term off), whole
// days, a same-day answer sees R = 1. schedule(): with same-day learning steps (enable_short_term
// on), a same-day answer updating stability by the short-term formula.
namespace review::fsrs {

// The published FSRS-6 defaults; w[20] is the forgetting curve's decay.
inline constexpr std::array<double, 21> defaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

struct Parameters {
    std::array<double, 21> w = defaultWeights;
    double desiredRetention = 0.9;
    int maximumInterval = 36500;
    // Minutes; Anki's defaults.
    std::vector<int> learningSteps{1, 10};
    std::vector<int> relearningSteps{10};
};

enum class CardState : int { New = 0, Learning = 1, Review = 2, Relearning = 3 };

struct Scheduled {
    MemoryState memory;
    CardState state = CardState::New;
    int step = 0;          // the learning step the card is at
    int minutes = 0;       // > 0: in its steps, back after this many minutes
    int intervalDays = 0;  // otherwise: due after this many whole days
};

// One answer with same-day learning steps. elapsedDays: whole learning days since the previous
// answer, 0 the same day. A card leaves its steps for a whole-day interval only when answered
// right at its last step (or Easy); a review card answered Again relearns.
Scheduled schedule(const MemoryState& memory, CardState state, int step, std::int64_t elapsedDays, Grade grade,
                   const Parameters& parameters = {});

struct Step {
    MemoryState memory;
    int intervalDays = 1;
};

// elapsedDays: whole learning days since the previous answer; 0 = the same day, and a
// negative value (the clock moved back) counts as 0. previous.isNew() = the first answer.
// A grade outside Again..Easy is taken as the nearest one.
Step next(const MemoryState& previous, std::int64_t elapsedDays, Grade grade,
          const Parameters& parameters = {});

// Probability of recall after elapsedDays; 1 for a new card.
double retrievability(const MemoryState& memory, double elapsedDays, const Parameters& parameters = {});

// Days until R falls to the desired retention, rounded, in [1, maximumInterval].
int intervalFor(double stability, const Parameters& parameters = {});

// The learning day of a moment: the local date, where a day starts at 04:00, as days since 1970-01-01.
std::int64_t learningDay(std::int64_t msSinceEpoch);

} // namespace review::fsrs
