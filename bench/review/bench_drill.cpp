// The drill window on a year of history: from the grade key on a card's back to the next card
// painted, the answer committed with synchronous=FULL; and building today's session.
// The file lives in a temporary folder (TMPDIR picks the disk). Needs an X server with a
// window manager, for the window to become active and take its shortcuts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "filled_store.h"
#include "review/cards.h"
#include "review/fsrs.h"
#include "review/review_window.h"
#include "review/session.h"
#include "review/store.h"
#include "review/word_list.h"

using review::ProgressStore;
using Clock = std::chrono::steady_clock;

namespace {

// The last day any filled card falls due: every card is due then.
constexpr std::int64_t kDrillDay = bench::kFilledToday + 29;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Real time moved onto kDrillDay, so answer times stay real while the day is fixed.
review::Session::Clock drillClock()
{
    static const std::int64_t offset = [] {
        std::int64_t t = kDrillDay * 86400000LL + 12 * 3600000LL;
        while (review::fsrs::learningDay(t) < kDrillDay)
            t += 3600000;
        while (review::fsrs::learningDay(t) > kDrillDay)
            t -= 3600000;
        return t - review::Session::systemClock();
    }();
    return [] { return review::Session::systemClock() + offset; };
}

// The filled store with the real cards' words, so that the session finds them.
QString filledStore()
{
    static QTemporaryDir dir;
    static const QString path = bench::fillStore(dir.filePath(QStringLiteral("progress.sqlite")), [](int i) {
        return std::string(review::allCards()[static_cast<std::size_t>(i) % review::allCards().size()].word);
    });
    return path;
}

// Notes paints anywhere in the window; `target` is the widget whose paint ends a measurement.
class PaintWatch : public QObject {
public:
    QObject* target = nullptr;
    bool targetPainted = false;
    int paints = 0;
    Clock::time_point lastPaint;

    void reset(QObject* t)
    {
        target = t;
        targetPainted = false;
        paints = 0;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastPaint = Clock::now();
            if (watched == target)
                targetPainted = true;
        }
        return false;
    }
};

// Processes events until target paints (or 2 s pass); false on the time-out.
bool untilPainted(PaintWatch& watch, QObject* target)
{
    if (!watch.targetPainted || watch.target != target) {
        bool late = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&late] { late = true; });
        guard.start(2000);
        while (!(watch.target == target && watch.targetPainted) && !late)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return watch.target == target && watch.targetPainted;
}

struct Drill {
    ProgressStore store;  // synchronous=FULL, the store's default
    std::unique_ptr<review::ReviewWindow> window;
    PaintWatch watch;
    QLabel* prompt = nullptr;
    QLabel* word = nullptr;
    QLabel* banner = nullptr;
    QLineEdit* answer = nullptr;
    std::int64_t logRowsAtStart = 0;
    int answers = 0;
    QString error;
};

Drill* made = nullptr;

Drill& drill()
{
    static Drill* d = [] {
        auto* d = new Drill;
        d->window = std::make_unique<review::ReviewWindow>(d->store, drillClock());
        // Sound off: the recordings are not what is measured.
        d->window->findChild<QCheckBox*>(QStringLiteral("autoSound"))->setChecked(false);
        d->window->openStore(filledStore());
        // Every due card, not the day's limit: the runs answer more than it.
        d->window->session().setReviewLimit(0);
        d->window->restart();
        d->prompt = d->window->findChild<QLabel*>(QStringLiteral("prompt"));
        d->word = d->window->findChild<QLabel*>(QStringLiteral("word"));
        d->banner = d->window->findChild<QLabel*>(QStringLiteral("banner"));
        d->answer = d->window->findChild<QLineEdit*>(QStringLiteral("answer"));
        d->window->installEventFilter(&d->watch);
        for (QWidget* w : d->window->findChildren<QWidget*>())
            w->installEventFilter(&d->watch);
        d->window->show();
        d->window->activateWindow();
        if (!d->store.isOpen())
            d->error = QStringLiteral("store not open: ") + d->store.message();
        else if (!QTest::qWaitForWindowActive(d->window.get()))
            d->error = QStringLiteral("window never became active (no window manager?)");
        d->logRowsAtStart = d->store.logCount();
        QTest::qWait(200);
        std::printf("drill window: %d due, %d new in today's session; %lld review-log rows\n",
                    d->window->session().dueLeft(), d->window->session().newLeft(),
                    static_cast<long long>(d->logRowsAtStart));
        return made = d;
    }();
    return *d;
}

// Outside the timed part: the card turned (typed right for Good, Enter on nothing for Again), painted,
// and the window left idle a little so nothing of the turn spills into the measurement.
bool turnCard(Drill& d, bool typeRight)
{
    const review::Card* card = d.window->session().current();
    d.watch.reset(d.word);
    if (typeRight) {
        QTest::keyClicks(d.answer, QString::fromUtf8(card->word.data(), static_cast<qsizetype>(card->word.size())));
        QTest::keyClick(d.answer, Qt::Key_Return);
    } else {
        QTest::keyClick(d.answer, Qt::Key_Return);
    }
    if (!d.window->showingBack() || !untilPainted(d.watch, d.word))
        return false;
    QTest::qWait(10);
    return true;
}

void gradeToNextCard(benchmark::State& state, Qt::Key key)
{
    Drill& d = drill();
    if (!d.error.isEmpty())
        return state.SkipWithError(d.error.toStdString().c_str());
    for (auto _ : state) {
        if (d.window->session().finished())
            return state.SkipWithError("session finished");
        if (!turnCard(d, key == Qt::Key_3))
            return state.SkipWithError("card did not turn");
        const review::Card* before = d.window->session().current();
        d.watch.reset(d.prompt);
        const auto t0 = Clock::now();
        QTest::keyClick(QApplication::focusWidget(), key);
        const auto t1 = Clock::now();
        const bool painted = untilPainted(d.watch, d.prompt);
        const auto t2 = Clock::now();
        if (!painted || d.window->showingBack() || d.window->session().current() == before)
            return state.SkipWithError("next card not shown");
        ++d.answers;
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
        state.counters["commit_ms"] = ms(t1 - t0);  // key handled: commit and the front set up
        state.counters["paints"] = d.watch.paints;
        // Paints after the prompt's would mean the card is not yet fully on screen.
        d.watch.paints = 0;
        QTest::qWait(10);
        state.counters["late_paints"] = d.watch.paints;
        state.counters["late_paint_ms"] = d.watch.paints ? ms(d.watch.lastPaint - t0) : 0.0;
    }
    if (d.banner->isVisible())
        state.SkipWithError(("banner: " + d.banner->text()).toStdString().c_str());
}

// The word list on the whole deck: a search typed letter by letter, each keystroke until the list
// has been filtered and painted.
void wordListSearch(benchmark::State& state)
{
    Drill& d = drill();
    if (!d.error.isEmpty())
        return state.SkipWithError(d.error.toStdString().c_str());
    d.window->showPage(2);
    auto* search = d.window->wordList()->findChild<QLineEdit*>(QStringLiteral("search"));
    const QString typed = QStringLiteral("acc");
    int i = 0, shown = 0;
    for (auto _ : state) {
        const QString text = typed.left(i % typed.size() + 1);
        ++i;
        QTest::keyClick(search, text.back().toLatin1());
        if (text.size() == 1)
            search->setText(text);
        QCoreApplication::processEvents();
        shown = d.window->wordList()->shownRows();
        state.PauseTiming();
        if (text.size() == typed.size())
            search->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows_shown"] = shown;
    d.window->showPage(0);
}

// The drill's own store is the window's; sessions are built on a second connection to the same file.
ProgressStore& sessionStore()
{
    static ProgressStore* s = [] {
        auto* s = new ProgressStore;
        s->open(filledStore());
        return s;
    }();
    return *s;
}

void sessionBuild(benchmark::State& state)
{
    ProgressStore& s = sessionStore();
    if (!s.isOpen())
        return state.SkipWithError(s.message().toStdString().c_str());
    int due = 0, fresh = 0;
    for (auto _ : state) {
        review::Session session(&s, drillClock());
        session.start();
        due = session.dueLeft();
        fresh = session.newLeft();
        benchmark::DoNotOptimize(session.current());
    }
    state.counters["due"] = due;
    state.counters["new"] = fresh;
}

// One timed item per repetition, so that the median and the 99th percentile are of single ones.
void single(benchmark::internal::Benchmark* b, int repetitions)
{
    b->Iterations(1)->Repetitions(repetitions)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
    b->ComputeStatistics("p99", bench::p99)->ComputeStatistics("max", bench::worst);
}

} // namespace

// Session build first, on the file as filled (every card due on the drill's day).
BENCHMARK(sessionBuild)->Apply([](auto* b) { single(b, 200); })->UseRealTime();
BENCHMARK(wordListSearch)->Apply([](auto* b) { single(b, 90); })->UseRealTime();
BENCHMARK_CAPTURE(gradeToNextCard, good_3, Qt::Key_3)->Apply([](auto* b) { single(b, 320); })->UseManualTime();
BENCHMARK_CAPTURE(gradeToNextCard, again_1, Qt::Key_1)->Apply([](auto* b) { single(b, 320); })->UseManualTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (Drill* d = made; d && d->error.isEmpty())
        std::printf("answers given: %d; review-log rows %lld -> %lld; sound asked for: %s\n", d->answers,
                    static_cast<long long>(d->logRowsAtStart), static_cast<long long>(d->store.logCount()),
                    d->window->lastSound().isEmpty() ? "none" : qPrintable(d->window->lastSound()));
}
