// The progress store with a year of history: one answer with its commit, and what a session
// start reads. The file lives in a temporary folder (TMPDIR picks the disk).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "filled_store.h"
#include "review/store.h"

using review::ProgressStore;

namespace {

constexpr int kCards = bench::kFilledCards;
constexpr qint64 kToday = bench::kFilledToday;

std::string word(int i)
{
    return "word" + std::to_string(i % kCards);
}

// The shared fill, in a temporary folder of this run.
QString filledStore()
{
    static QTemporaryDir dir;
    static const QString path = bench::fillStore(dir.filePath(QStringLiteral("progress.sqlite")), word);
    return path;
}

// Kept open for the whole run, as the drill keeps its store; left to the end of the process.
ProgressStore& opened(ProgressStore::Sync sync)
{
    static ProgressStore* full = new ProgressStore(ProgressStore::Sync::Full);
    static ProgressStore* normal = new ProgressStore(ProgressStore::Sync::Normal);
    ProgressStore& s = sync == ProgressStore::Sync::Full ? *full : *normal;
    if (!s.isOpen())
        s.open(filledStore());
    return s;
}

// What the scheduler hands back, cheap enough not to count.
std::pair<review::CardProgress, review::ReviewLogEntry> answerGood(const review::CardProgress& c)
{
    review::CardProgress next = c;
    next.memory = {std::max(1.0, c.memory.stability * 2.5), 5.0};
    next.lastReviewDay = kToday;
    next.dueDay = kToday + static_cast<int>(next.memory.stability);
    if (next.firstReviewDay < 0)
        next.firstReviewDay = kToday;
    ++next.reps;
    review::ReviewLogEntry log;
    log.timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    log.word = c.word;
    log.answerMs = 3000;
    log.intervalDays = static_cast<int>(next.dueDay - kToday);
    log.memory = next.memory;
    return {next, log};
}

void answerCommit(benchmark::State& state, ProgressStore::Sync sync)
{
    ProgressStore& s = opened(sync);
    if (!s.isOpen())
        return state.SkipWithError(s.message().toStdString().c_str());
    static int n = 0;
    for (auto _ : state)
        if (!s.recordAnswer(word(n++ * 13), answerGood))
            state.SkipWithError(s.message().toStdString().c_str());
}

// One timed answer per repetition, so that the median and the 99th percentile are of single answers.
void perAnswer(benchmark::internal::Benchmark* b)
{
    b->Iterations(1)->Repetitions(500)->ReportAggregatesOnly(true)->UseRealTime()->Unit(benchmark::kMillisecond);
    b->ComputeStatistics("p99", bench::p99)->ComputeStatistics("max", bench::worst);
}

// A session starts from every card: those due by today, and how many new words today has had.
void sessionStart(benchmark::State& state)
{
    ProgressStore& s = opened(ProgressStore::Sync::Full);
    std::size_t due = 0, introducedToday = 0;
    for (auto _ : state) {
        const std::vector<review::CardProgress> cards = s.loadProgress();
        due = std::count_if(cards.begin(), cards.end(), [](const auto& c) { return !c.memory.isNew() && c.dueDay <= kToday; });
        introducedToday = std::count_if(cards.begin(), cards.end(), [](const auto& c) { return c.firstReviewDay == kToday; });
        benchmark::DoNotOptimize(due);
    }
    state.counters["due"] = double(due);
    state.counters["new_today"] = double(introducedToday);
}

// Start-up's open: the read-only look with its integrity check, then the connection for writing.
void openStore(benchmark::State& state)
{
    const QString path = filledStore();
    for (auto _ : state) {
        ProgressStore s;
        if (s.open(path) != ProgressStore::OpenResult::Ok)
            state.SkipWithError(s.message().toStdString().c_str());
    }
    state.counters["log_rows"] = double(opened(ProgressStore::Sync::Full).logCount());
}

// The day's backup: a consistent copy of the whole file (VACUUM INTO), made after the window shows.
void dailyBackup(benchmark::State& state)
{
    ProgressStore& s = opened(ProgressStore::Sync::Full);
    const QString backups = QFileInfo(filledStore()).absolutePath() + QStringLiteral("/backups");
    std::int64_t day = kToday;
    for (auto _ : state) {
        if (!s.backUp(day++))
            state.SkipWithError("no backup made");
        state.PauseTiming();
        QDir(backups).removeRecursively();  // a fresh day each time, so every call copies
        state.ResumeTiming();
    }
    state.counters["log_rows"] = double(s.logCount());
}

} // namespace

// Session start first, while the filled cards are still due.
BENCHMARK(sessionStart)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(openStore)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(dailyBackup)->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(answerCommit, synchronous_full, ProgressStore::Sync::Full)->Apply(perAnswer);
BENCHMARK_CAPTURE(answerCommit, synchronous_normal, ProgressStore::Sync::Normal)->Apply(perAnswer);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
