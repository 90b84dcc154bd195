// A year of the word drill by a simulated learner whose memory follows FSRS with the default
// parameters, scheduled once by our FSRS and once by classic SM-2; then the scheduler timed.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "review/fsrs.h"

using namespace review;

namespace {

constexpr int wordCount = 648;
constexpr int newPerDay = 54;
constexpr int dayCount = 365;
constexpr int monthCount = 12;
constexpr int lastMonthDays = 30;
constexpr int seedCount = 20;  // learners, each with its own seed
constexpr double knownAtFirstSight = 0.5;

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    double uniform() { return double(engine_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine_;
};

// How a recalled word is graded; a word not recalled is Again.
Grade passGrade(Random& random)
{
    const double u = random.uniform();
    return u < 0.15 ? Grade::Hard : u < 0.85 ? Grade::Good : Grade::Easy;
}

struct FsrsScheduler {
    fsrs::Parameters parameters;
    std::vector<MemoryState> memory = std::vector<MemoryState>(wordCount);
    int answer(int word, std::int64_t elapsed, Grade grade)
    {
        const auto step = fsrs::next(memory[word], elapsed, grade, parameters);
        memory[word] = step.memory;
        return step.intervalDays;
    }
};

// Classic SM-2: intervals 1, 6, then I·EF rounded up; a fail starts over and leaves EF as it is.
struct Sm2Scheduler {
    struct Card {
        int repetitions = 0;
        int interval = 0;
        double ef = 2.5;
    };
    std::vector<Card> cards = std::vector<Card>(wordCount);
    int answer(int word, std::int64_t, Grade grade)
    {
        Card& c = cards[word];
        const int q = grade == Grade::Again ? 0 : static_cast<int>(grade) + 1;  // Hard 3, Good 4, Easy 5
        if (q < 3) {
            c.repetitions = 0;
            return c.interval = 1;
        }
        c.interval = c.repetitions == 0 ? 1 : c.repetitions == 1 ? 6 : int(std::ceil(c.interval * c.ef));
        ++c.repetitions;
        c.ef = std::max(1.3, c.ef + 0.1 - (5 - q) * (0.08 + (5 - q) * 0.02));
        return c.interval;
    }
};

// Averages over the seeds.
struct Outcome {
    std::array<double, monthCount> monthReviews{};
    double reviews = 0;
    double remembered = 0;  // sum of true R over the words on the day after the year
    double atLeast90 = 0;   // words whose true R is at least 0.9 then
    double lastMonth = 0;   // sum of true R each morning of the last 30 days, averaged
};

template <typename Scheduler>
Outcome simulate(const Scheduler& fresh)
{
    Outcome out;
    for (int seed = 1; seed <= seedCount; ++seed) {
        Scheduler scheduler = fresh;
        Random random(seed);
        std::vector<MemoryState> truth(wordCount);
        std::vector<std::int64_t> last(wordCount, -1), due(wordCount, -1);
        for (int day = 0; day < dayCount; ++day) {
            for (int w = day * newPerDay; w < std::min(wordCount, (day + 1) * newPerDay); ++w)
                due[w] = day;
            auto& month = out.monthReviews[day * monthCount / dayCount];
            if (day >= dayCount - lastMonthDays)
                for (int w = 0; w < wordCount; ++w)
                    out.lastMonth += fsrs::retrievability(truth[w], double(day - last[w])) / (lastMonthDays * seedCount);
            for (int w = 0; w < wordCount; ++w) {
                if (due[w] < 0 || due[w] > day)
                    continue;
                std::int64_t elapsed = last[w] < 0 ? 0 : day - last[w];
                int interval = 0;
                // A word not recalled comes back the same day until it is.
                for (bool recalled = false; !recalled; elapsed = 0) {
                    const double p =
                        truth[w].isNew() ? knownAtFirstSight : fsrs::retrievability(truth[w], double(elapsed));
                    recalled = random.uniform() < p;
                    const Grade grade = recalled ? passGrade(random) : Grade::Again;
                    truth[w] = fsrs::next(truth[w], elapsed, grade).memory;
                    interval = scheduler.answer(w, elapsed, grade);
                    month += 1.0 / seedCount;
                    out.reviews += 1.0 / seedCount;
                }
                last[w] = day;
                due[w] = day + interval;
            }
        }
        for (int w = 0; w < wordCount; ++w) {
            const double r = fsrs::retrievability(truth[w], double(dayCount - last[w]));
            out.remembered += r / seedCount;
            out.atLeast90 += (r >= 0.9) / double(seedCount);
        }
    }
    return out;
}

Outcome fsrsAt(double retention)
{
    FsrsScheduler scheduler;
    scheduler.parameters.desiredRetention = retention;
    return simulate(scheduler);
}

// SM-2 has no dial; FSRS's retention is one. Find the retention at which FSRS remembers as much
// as SM-2 by the given measure and compare the reviews there.
void printMatch(const char* measureName, double Outcome::*measure, const Outcome& sm2,
                const std::vector<std::pair<double, Outcome>>& sweep)
{
    for (std::size_t i = 1; i < sweep.size(); ++i) {
        const auto& [r0, o0] = sweep[i - 1];
        const auto& [r1, o1] = sweep[i];
        if (o0.*measure < sm2.*measure && o1.*measure >= sm2.*measure) {
            const double t = (sm2.*measure - o0.*measure) / (o1.*measure - o0.*measure);
            const double reviews = o0.reviews + t * (o1.reviews - o0.reviews);
            const double saved = 100 * (1 - reviews / sm2.reviews);
            std::printf("%s as SM-2's %.1f: FSRS at retention %.3f, %.0f reviews, %.1f %% %s than SM-2's %.0f\n",
                        measureName, sm2.*measure, r0 + t * (r1 - r0), reviews, std::abs(saved),
                        saved >= 0 ? "fewer" : "more", sm2.reviews);
            return;
        }
    }
    std::printf("%s as SM-2's %.1f: no retention from 0.70 to 0.97 gets there\n", measureName, sm2.*measure);
}

void printSimulation()
{
    const Outcome sm2 = simulate(Sm2Scheduler{});
    std::vector<std::pair<double, Outcome>> sweep;
    for (int percent = 70; percent <= 97; ++percent)
        sweep.emplace_back(percent / 100.0, fsrsAt(percent / 100.0));
    const Outcome& fsrs90 = sweep[90 - 70].second;

    std::printf("%d words, %d new a day, %d days, mean of %d learners; reviews count same-day repeats\n\n",
                wordCount, newPerDay, dayCount, seedCount);
    std::printf("month     SM-2  FSRS 0.90\n");
    for (int m = 0; m < monthCount; ++m)
        std::printf("  %2d   %6.0f   %6.0f\n", m + 1, sm2.monthReviews[m], fsrs90.monthReviews[m]);
    std::printf("total  %6.0f   %6.0f\n\n", sm2.reviews, fsrs90.reviews);

    std::printf("scheduler   reviews  sum R day %d  R>=0.9 day %d  sum R last %d days\n", dayCount + 1,
                dayCount + 1, lastMonthDays);
    const auto row = [](const char* name, const Outcome& o) {
        std::printf("%-10s  %7.0f  %12.1f  %12.1f  %16.1f\n", name, o.reviews, o.remembered, o.atLeast90, o.lastMonth);
    };
    row("SM-2", sm2);
    for (const auto& [retention, o] : sweep) {
        char name[16];
        std::snprintf(name, sizeof name, "FSRS %.2f", retention);
        row(name, o);
    }
    std::printf("\n");
    printMatch("sum R on the day after", &Outcome::remembered, sm2, sweep);
    printMatch("words with R >= 0.9 then", &Outcome::atLeast90, sm2, sweep);
    printMatch("sum R over the last month", &Outcome::lastMonth, sm2, sweep);
    std::printf("\n");
}

void BM_next(benchmark::State& state)
{
    MemoryState memory{};
    std::int64_t elapsed = 0;
    for (auto _ : state) {
        const auto step = fsrs::next(memory, elapsed, Grade::Good);
        memory = step.memory.stability > 1000 ? MemoryState{} : step.memory;
        elapsed = memory.isNew() ? 0 : step.intervalDays;
        benchmark::DoNotOptimize(memory);
    }
}
BENCHMARK(BM_next);

} // namespace

int main(int argc, char** argv)
{
    printSimulation();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
