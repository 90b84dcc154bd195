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

// shortTerm: the scheduler has same-day steps; sameDay: the answer falls on the previous one's day.
double nextStability(const Weights& w, const MemoryState& m, double r, int grade, bool shortTerm = false, bool sameDay = false)
{
    const double s = m.stability, d = m.difficulty;
    if (shortTerm && sameDay) {
        const double growth = std::pow(s, -w[19]) * std::exp(w[17] * (grade - 3 + w[18]));
        return clampStability(s * (grade >= 2 ? std::fmax(growth, 1.0) : growth));
    }
    if (grade == 1) {
        const double forgotten =
            w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp(w[14] * (1 - r));
        // Without same-day steps w17·w18 drops out: a lapse never raises stability.
        const double floor = shortTerm ? s / std::exp(w[17] * w[18]) : s;
        return std::fmin(std::fmax(floor, minStability), clampStability(forgotten));
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

Scheduled schedule(const MemoryState& memory, CardState state, int step, std::int64_t elapsedDays, Grade grade,
                   const Parameters& parameters)
{
    const auto& w = parameters.w;
    const int g = std::clamp(static_cast<int>(grade), 1, 4);
    Scheduled out;
    if (state == CardState::Review && !memory.isNew()) {
        // Hard, Good and Easy as the long-term scheduler gives them (the same-day formula where
        // the review falls on the previous answer's day); Again relearns.
        const MemoryState m{clampStability(memory.stability), std::fmin(std::fmax(memory.difficulty, 1.0), 10.0)};
        const double r = retrievability(m, static_cast<double>(std::max<std::int64_t>(0, elapsedDays)), parameters);
        std::array<double, 4> stability{};
        for (int k = 0; k < 4; ++k)
            stability[k] = nextStability(w, m, r, k + 1, true, elapsedDays <= 0);
        out.memory = {stability[g - 1], nextDifficulty(w, m.difficulty, g)};
        if (g == 1 && !parameters.relearningSteps.empty()) {
            out.state = CardState::Relearning;
            out.minutes = parameters.relearningSteps[std::clamp(step, 0, int(parameters.relearningSteps.size()) - 1)];
            return out;
        }
        std::array<int, 4> days{};
        for (int k = 1; k < 4; ++k)
            days[k] = intervalFor(stability[k], parameters);
        days[1] = std::min(days[1], days[2]);
        days[2] = std::max(days[2], days[1] + 1);
        days[3] = std::max(days[3], days[2] + 1);
        out.state = CardState::Review;
        // As next(): the maximum still holds after the ordering.
        out.intervalDays = std::min(g == 1 ? intervalFor(stability[0], parameters) : days[g - 1],
                                    std::max(1, parameters.maximumInterval));
        return out;
    }
    if (state == CardState::New || memory.isNew()) {
        out.memory = {std::fmax(w[g - 1], 0.1), std::clamp(initialDifficulty(w, g), 1.0, 10.0)};
        state = CardState::Learning;
        step = 0;
    } else {
        const MemoryState m{clampStability(memory.stability), std::fmin(std::fmax(memory.difficulty, 1.0), 10.0)};
        const double r = retrievability(m, static_cast<double>(std::max<std::int64_t>(0, elapsedDays)), parameters);
        out.memory = {nextStability(w, m, r, g, true, elapsedDays <= 0), nextDifficulty(w, m.difficulty, g)};
    }
    // The steps of a learning or relearning card: Again back to the first, Hard stays, Good on to
    // the next; right at the last step, or Easy, it graduates.
    const std::vector<int>& steps = state == CardState::Relearning ? parameters.relearningSteps : parameters.learningSteps;
    const int count = static_cast<int>(steps.size());
    int minutes = 0, next = 0;
    if (step >= 0 && step < count) {
        if (g == 1) {
            minutes = steps[0];
        } else if (g == 2) {
            minutes = static_cast<int>(std::round(count == 1 ? steps[0] * 1.5 : (steps[0] + steps[1]) / 2.0));
            next = step;
        } else if (g == 3 && step + 1 < count) {
            minutes = steps[step + 1];
            next = step + 1;
        }
    }
    if (minutes > 0 && minutes < 1440) {
        out.state = state;
        out.step = next;
        out.minutes = minutes;
    } else {
        out.state = CardState::Review;
        out.intervalDays = intervalFor(out.memory.stability, parameters);
    }
    return out;
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
