// The scheduler against ts-fsrs's own results, and the edges those results cannot show.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

#include <QtTest>

#include "review/fsrs.h"

using namespace review;

namespace {

bool near(double got, double want) { return std::abs(got - want) <= 1e-6 * std::abs(want); }

const MemoryState mature{200, 5};

bool forEveryGrade(const std::function<bool(Grade)>& holds)
{
    for (int g = 1; g <= 4; ++g)
        if (!holds(static_cast<Grade>(g)))
            return false;
    return true;
}

std::int64_t localMs(int year, int month, int day, int hour, int minute)
{
    std::tm tm{};
    tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day, tm.tm_hour = hour, tm.tm_min = minute;
    tm.tm_isdst = -1;
    return std::int64_t(std::mktime(&tm)) * 1000;
}

} // namespace

class TestFsrs : public QObject {
    Q_OBJECT
private slots:
    void agreesWithTsFsrs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("shortTerm");
        QTest::newRow("long-term intervals") << QStringLiteral(FSRS_VECTORS) << false;
        QTest::newRow("same-day steps") << QStringLiteral(FSRS_SHORT_TERM_VECTORS) << true;
    }

    void agreesWithTsFsrs()
    {
        QFETCH(QString, file);
        QFETCH(bool, shortTerm);
        std::ifstream in(file.toStdString());
        QVERIFY2(in, qPrintable(file));
        int steps = 0, lineNo = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream cards(line);
            MemoryState memory;
            fsrs::CardState state = fsrs::CardState::New;
            int learningStep = 0;
            for (std::string token; cards >> token; ++steps) {
                long long days;
                int grade, interval;
                double s, d;
                QVERIFY2(std::sscanf(token.c_str(), "%lld:%d=%lf,%lf,%d", &days, &grade, &s, &d, &interval) == 5,
                         token.c_str());
                fsrs::Step step;
                if (shortTerm) {
                    const auto next = fsrs::schedule(memory, state, learningStep, days, static_cast<Grade>(grade));
                    step = {next.memory, next.minutes > 0 ? 0 : next.intervalDays};
                    state = next.state;
                    learningStep = next.step;
                } else {
                    step = fsrs::next(memory, days, static_cast<Grade>(grade));
                }
                // ts-fsrs lets the one-day-longer rule for better grades run past the maximum.
                const int want = std::min(interval, fsrs::Parameters{}.maximumInterval);
                const auto where = QString("line %1, %2: got %3,%4,%5").arg(lineNo).arg(token.c_str())
                                       .arg(step.memory.stability, 0, 'g', 12).arg(step.memory.difficulty, 0, 'g', 12)
                                       .arg(step.intervalDays);
                QVERIFY2(near(step.memory.stability, s) && near(step.memory.difficulty, d) && step.intervalDays == want,
                         qPrintable(where));
                memory = step.memory;
            }
        }
        QVERIFY(steps > 1000);
    }

    void edges()
    {
        const std::int64_t longest = INT64_MAX;
        fsrs::Parameters month;
        month.maximumInterval = 30;
        fsrs::Parameters strict;
        strict.desiredRetention = 0.999;
        const struct {
            const char* name;
            std::function<bool()> holds;
        } rows[] = {
            {"a clock moved back counts as the same day",
             [] {
                 return forEveryGrade([](Grade g) {
                     const auto back = fsrs::next(mature, -3, g), same = fsrs::next(mature, 0, g);
                     return back.memory.stability == same.memory.stability &&
                            back.memory.difficulty == same.memory.difficulty && back.intervalDays == same.intervalDays;
                 });
             }},
            {"a gap of any length stays in range, a lapse lowers stability",
             [&] {
                 return forEveryGrade([&](Grade g) {
                     const auto step = fsrs::next(mature, longest, g);
                     return step.memory.stability >= 0.001 && step.memory.stability <= 36500 &&
                            step.memory.difficulty >= 1 && step.memory.difficulty <= 10 && step.intervalDays >= 1 &&
                            step.intervalDays <= 36500 && (g != Grade::Again || step.memory.stability < mature.stability);
                 });
             }},
            {"the maximum caps every grade",
             [&] {
                 return fsrs::next(mature, 200, Grade::Easy, month).intervalDays == 30 &&
                        forEveryGrade([&](Grade g) { return fsrs::next(mature, 200, g, month).intervalDays <= 30; }) &&
                        fsrs::intervalFor(1e9) == 36500;
             }},
            {"an interval is never below a day",
             [&] {
                 return fsrs::intervalFor(0) == 1 && fsrs::intervalFor(-5) == 1 && fsrs::intervalFor(NAN) == 1 &&
                        fsrs::intervalFor(0.001, strict) == 1 && fsrs::next({}, 0, Grade::Again, strict).intervalDays == 1;
             }},
            {"recall falls to the retention after S days",
             [] {
                 return std::abs(fsrs::retrievability(mature, mature.stability) - 0.9) < 1e-12 &&
                        fsrs::retrievability(mature, -1) == 1 && fsrs::intervalFor(mature.stability) == 200;
             }},
        };
        for (const auto& row : rows)
            QVERIFY2(row.holds(), row.name);
    }

    void dayStartsAtFour()
    {
        using namespace std::chrono;
        // The clocks go forward at 02:00 that night.
        qputenv("TZ", "America/New_York");
        tzset();
        const auto march10 = sys_days{2024y / March / 10}.time_since_epoch().count();
        QCOMPARE(fsrs::learningDay(localMs(2024, 3, 10, 3, 59)), march10 - 1);
        QCOMPARE(fsrs::learningDay(localMs(2024, 3, 10, 4, 0)), march10);
        QCOMPARE(fsrs::learningDay(localMs(2024, 3, 11, 3, 59)), march10);
    }
};

QTEST_APPLESS_MAIN(TestFsrs)
#include "test_fsrs.moc"
