#pragma once

#include <array>
#include <cstdint>

#include "review/model.h"

// FSRS-6 with long-term intervals only, as ts-fsrs schedules with enable_short_term off:
// whole days, no learning steps; a same-day answer sees R = 1.
namespace review::fsrs {

// The published FSRS-6 defaults; w[20] is the forgetting curve's decay.
inline constexpr std::array<double, 21> defaultWeights = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

struct Parameters {
    std::array<double, 21> w = defaultWeights;
    double desiredRetention = 0.9;
    int maximumInterval = 36500;
};

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
