#include "review/fsrs.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace review::fsrs {

namespace {

using Weights = std::array<double, 21>;

constexpr double minStability = 0.001;
constexpr double maxStability = 36500;

double clampStability(double s) { return std::fmin(std::fmax(s, minStability), maxStability); }

// R(t, S) = 0.9 exactly at t = S.
double decayFactor(const Weights& w) { return std::pow(0.9, -1 / w[20]) - 1; }

double initialDifficulty(const Weights& w, int grade) { return w[4] - std::exp(w[5] * (grade - 1)) + 1; }

double nextDifficulty(const Weights& w, double d, int grade)
{
    const double damped = d - w[6] * (grade - 3) * (10 - d) / 9;
    // The target is D0(Easy) unclamped, as FSRS-6 defines it.
    return std::clamp(w[7] * initialDifficulty(w, 4) + (1 - w[7]) * damped, 1.0, 10.0);
}

double nextStability(const Weights& w, const MemoryState& m, double r, int grade)
{
    const double s = m.stability, d = m.difficulty;
    if (grade == 1) {
        const double forgotten =
            w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
        // Without same-day steps w17·w18 drops out: a lapse never raises stability.
        return std::fmin(s, clampStability(forgotten));
    }
    const double hardPenalty = grade == 2 ? w[15] : 1;
    const double easyBonus = grade == 4 ? w[16] : 1;
    return clampStability(s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) *
                                       (std::exp(w[10] * (1 - r)) - 1) * hardPenalty * easyBonus));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

} // namespace

double retrievability(const MemoryState& memory, double elapsedDays, const Parameters& parameters)
{
    if (memory.isNew())
        return 0;
    const double t = std::fmax(elapsedDays, 0.0);
    const double s = clampStability(memory.stability);
    return std::pow(1 + decayFactor(parameters.w) * t / s, -parameters.w[20]);
}

int intervalFor(double stability, const Parameters& parameters)
{
    const auto& w = parameters.w;
    const int maximum = std::max(1, parameters.maximumInterval);
    const double days =
        stability / decayFactor(w) * (std::pow(parameters.desiredRetention, -1 / w[20]) - 1);
    if (!(days >= 1))  // also NaN
        return 1;
    return days >= maximum ? maximum : static_cast<int>(std::round(days));
}

Step next(const MemoryState& previous, std::int64_t elapsedDays, Grade grade, const Parameters& parameters)
{
    const auto& w = parameters.w;
    const int g = std::clamp(static_cast<int>(grade), 1, 4);
    std::array<double, 4> stability{};
    Step step;
    if (previous.isNew()) {
        for (int k = 0; k < 4; ++k)
            stability[k] = std::fmax(w[k], 0.1);
        step.memory.difficulty = std::clamp(initialDifficulty(w, g), 1.0, 10.0);
    } else {
        // A stored state out of range (or NaN) is brought back into it rather than spread.
        const MemoryState m{clampStability(previous.stability),
                            std::fmin(std::fmax(previous.difficulty, 1.0), 10.0)};
        const double r = retrievability(m, static_cast<double>(elapsedDays), parameters);  // t < 0 counts as 0
        for (int k = 0; k < 4; ++k)
            stability[k] = nextStability(w, m, r, k + 1);
        step.memory.difficulty = nextDifficulty(w, m.difficulty, g);
    }
    step.memory.stability = stability[g - 1];

    // As ts-fsrs does: Again waits no longer than Hard, and each better grade a day longer than
    // the one below; unlike ts-fsrs, the maximum still holds afterwards.
    std::array<int, 4> days{};
    for (int k = 0; k < 4; ++k)
        days[k] = intervalFor(stability[k], parameters);
    days[0] = std::min(days[0], days[1]);
    for (int k = 1; k < 4; ++k)
        days[k] = std::max(days[k], days[k - 1] + 1);
    step.intervalDays = std::min(days[g - 1], std::max(1, parameters.maximumInterval));
    return step;
}

std::int64_t learningDay(std::int64_t msSinceEpoch)
{
    constexpr std::int64_t startHour = 4;
    const std::int64_t seconds = floorDiv(msSinceEpoch, 1000);
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    // Wall-clock hour, not "t - 4 h": on a day the clocks change, 04:00 still starts the day.
    if (localtime_r(&t, &local) && std::abs(local.tm_year) < 30000) {
        using namespace std::chrono;
        const sys_days date{year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday};
        return date.time_since_epoch().count() - (local.tm_hour < startHour ? 1 : 0);
    }
    return floorDiv(seconds - startHour * 3600, 86400);
}

} // namespace review::fsrs
