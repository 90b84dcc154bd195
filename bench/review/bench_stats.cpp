// The statistics page on a year of history (100,000 review-log rows): from the tab key to the page
// painted, the first time (the charts made) and afterwards; and its figures alone.
// `bench_stats --month DIR` instead simulates a month of daily sessions into DIR/progress.sqlite
// and saves DIR/stats.png, DIR/stats-empty.png and the exports (DIR/anki/, DIR/revlog.csv). Needs an X server with a window manager.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>

#include "filled_store.h"
#include "review/cards.h"
#include "review/export.h"
#include "review/fsrs.h"
#include "review/review_window.h"
#include "review/stats.h"
#include "review/stats_page.h"
#include "review/store.h"

using Clock = std::chrono::steady_clock;

namespace {

std::int64_t noonOf(std::int64_t day)
{
    return QDateTime(QDate(1970, 1, 1).addDays(day), QTime(12, 0)).toMSecsSinceEpoch();
}

QString filledStore()
{
    static QTemporaryDir dir;
    static const QString path = bench::fillStore(dir.filePath(QStringLiteral("progress.sqlite")), [](int i) {
        return std::string(review::allCards()[static_cast<std::size_t>(i) % review::allCards().size()].word);
    });
    return path;
}

// Milliseconds from showing the page until it has painted.
double showStats(review::ReviewWindow& w, int page)
{
    const auto t0 = Clock::now();
    w.showPage(page);
    QWidget* target = w.statsPage();
    bool painted = false;
    struct Watch : QObject {
        bool* painted;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                *painted = true;
            return false;
        }
    } watch;
    watch.painted = &painted;
    if (target)
        for (QWidget* c : target->findChildren<QWidget*>())
            c->installEventFilter(&watch);
    const auto limit = Clock::now() + std::chrono::seconds(3);
    while (!painted && Clock::now() < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Window {
    review::ProgressStore store;
    review::ReviewWindow window{store, [] { return noonOf(bench::kFilledToday); }};
    double first = 0;
};

Window& window()
{
    static Window* w = [] {
        auto* w = new Window;
        w->window.findChild<QCheckBox*>(QStringLiteral("autoSound"))->setChecked(false);
        w->window.openStore(filledStore());
        w->window.resize(1100, 800);
        w->window.show();
        (void)QTest::qWaitForWindowExposed(&w->window);
        QTest::qWait(200);
        w->first = showStats(w->window, 1);
        std::printf("first statistics page (charts made): %.1f ms; %lld log rows\n", w->first,
                    static_cast<long long>(w->store.logCount()));
        return w;
    }();
    return *w;
}

void pageShown(benchmark::State& state)
{
    Window& w = window();
    for (auto _ : state) {
        w.window.showPage(0);
        QTest::qWait(20);
        state.SetIterationTime(showStats(w.window, 1) / 1000);
    }
    state.counters["first_ms"] = w.first;
}

void figures(benchmark::State& state)
{
    review::ProgressStore& s = window().store;
    for (auto _ : state)
        benchmark::DoNotOptimize(review::stats::load(s, bench::kFilledToday).logRows);
}

// 30 days of finished sessions with 27 new words a day; about one answer in eight is Again.
int month(const QString& dir)
{
    const QString path = dir + QStringLiteral("/progress.sqlite");
    QFile::remove(path);
    review::ProgressStore store;
    store.open(path);
    std::int64_t now = 0;
    std::mt19937 random(7);
    const std::int64_t today = review::fsrs::learningDay(review::Session::systemClock());
    {
        review::ReviewWindow w(store, [&now] { return now; });
        w.openStore(path);
        w.session().setDailyNewWords(27);
        for (std::int64_t day = today - 30; day < today; ++day) {
            now = noonOf(day);
            w.restart();
            for (review::Session& s = w.session(); !s.finished();) {
                now += 4000 + random() % 9000;
                const int roll = random() % 16;
                s.grade(roll < 2 ? review::Grade::Again : roll < 3 ? review::Grade::Hard : roll < 15 ? review::Grade::Good
                                                                                                      : review::Grade::Easy,
                        review::Mode::Recall);
            }
            w.restart();  // the finished session marks the day
        }
    }
    now = noonOf(today);
    review::ReviewWindow w(store, [&now] { return now; });
    w.openStore(path);
    w.resize(1100, 800);
    w.show();
    (void)QTest::qWaitForWindowExposed(&w);
    std::printf("month: %lld answers; page shown in %.1f ms\n", static_cast<long long>(store.logCount()), showStats(w, 1));
    QTest::qWait(300);
    w.grab().save(dir + QStringLiteral("/stats.png"));
    // The exports a learner would take along, for reading back.
    QDir(dir).mkpath(QStringLiteral("anki"));
    for (const auto& r : {review::exporting::writeNotes(dir + QStringLiteral("/anki/notes.txt"), review::allCards(),
                                                        &review::ReviewWindow::soundFile),
                          review::exporting::writeLog(dir + QStringLiteral("/revlog.csv"), store, review::allCards())})
        std::printf("%s\n", qPrintable(r.message));

    review::ProgressStore fresh;
    QFile::remove(dir + QStringLiteral("/empty.sqlite"));
    review::ReviewWindow e(fresh, [&now] { return now; });
    e.openStore(dir + QStringLiteral("/empty.sqlite"));
    e.resize(1100, 800);
    e.show();
    (void)QTest::qWaitForWindowExposed(&e);
    showStats(e, 1);
    QTest::qWait(300);
    e.grab().save(dir + QStringLiteral("/stats-empty.png"));
    return 0;
}

} // namespace

BENCHMARK(figures)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(pageShown)->Iterations(1)->Repetitions(30)->ReportAggregatesOnly(true)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->ComputeStatistics("max", bench::worst);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    review::setStatsViewFactory(&review::createStatsPage);  // linked here, not loaded
    if (argc == 3 && QByteArray(argv[1]) == "--month")
        return month(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
