#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "review/export.h"
#include "review/fsrs.h"
#include "review/stats.h"
#include "review/store.h"

using namespace review;

namespace {
std::int64_t noonOf(std::int64_t day)
{
    return QDateTime(QDate(1970, 1, 1).addDays(day), QTime(12, 0)).toMSecsSinceEpoch();
}

const std::int64_t T = fsrs::learningDay(QDateTime(QDate(2024, 3, 31), QTime(12, 0)).toMSecsSinceEpoch());

struct Answer {
    int card;        // index in allCards()
    int daysAgo;
    Grade grade;
    int answerMs;
    double stability;  // the card after the answer
    int dueIn;         // days from T
};
// Card 0 (unit 1): learnt 10 days ago, right 3 days ago, forgotten yesterday, known now.
// Card 1 (unit 1): new 2 days ago with a same-day repeat, right today.
// Card 27 (unit 2): learnt 40 days ago (before the 30 days), right 15 days ago, forgotten 8 days ago.
const Answer kLog[] = {
    {27, 40, Grade::Good, 5000, 3, -37},  {27, 15, Grade::Good, 4000, 9, -6},   {0, 10, Grade::Good, 2000, 2, -8},
    {27, 8, Grade::Again, 6000, 5, 3},    {0, 3, Grade::Good, 3000, 25, 1},    {1, 2, Grade::Again, 1000, 0.5, -1},
    {1, 2, Grade::Good, 2000, 2, -1},     {0, 1, Grade::Again, 7000, 30, 20},  {1, 0, Grade::Good, 2500, 2, 0},
};
} // namespace

class TestStats : public QObject {
    Q_OBJECT
private slots:
    void ipa_data();
    void ipa();
    void figures_data();
    void figures();
    void streak_data();
    void streak();
    void exportFile_data();
    void exportFile();

private:
    QTemporaryDir dir_;
};

void TestStats::ipa_data()
{
    QTest::addColumn<QString>("phonetic");
    QTest::addColumn<QString>("ipa");
    const char* const table[][2] = {
        {"5", "ˈ"}, {"`", "ˈ"}, {"9", "ˌ"}, {":", "ː"}, {"A", "æ"}, {"B", "ɑ"}, {"C", "ɔ"}, {"E", "ə"}, {"F", "ʃ"},
        {"I", "ɪ"}, {"J", "ʊ"}, {"N", "ŋ"}, {"Q", "ʌ"}, {"R", "ɒ"}, {"T", "ð"}, {"V", "ʒ"}, {"W", "θ"}, {"\\", "ɜ"},
        {"^", "ɡ"}, {"abdefhijklmnprstuvwz()", "abdefhijklmnprstuvwz()"},
        {"saturday   /   5sAtEdeI, 5sAtEdI", "ˈsætədeɪ, ˈsætədɪ"},
    };
    for (const auto& [in, out] : table)
        QTest::newRow(in) << QString::fromUtf8(in) << QString::fromUtf8(out);
}

void TestStats::ipa()
{
    QFETCH(QString, phonetic);
    QFETCH(QString, ipa);
    QCOMPARE(exporting::ipaOf(phonetic.toStdString()), ipa);
}

void TestStats::figures_data()
{
    ProgressStore store;
    QVERIFY(store.open(dir_.filePath(QStringLiteral("figures.sqlite"))) == ProgressStore::OpenResult::Ok);
    const auto cards = allCards();
    for (const Answer& a : kLog)
        QVERIFY(store.recordAnswer(std::string(cards[a.card].word), [&](const CardProgress& c) {
            CardProgress after = c;
            after.memory = {a.stability, 5};
            after.dueDay = T + a.dueIn;
            after.lastReviewDay = T - a.daysAgo;
            ReviewLogEntry log;
            log.timeMs = noonOf(T - a.daysAgo);
            log.word = c.word;
            log.grade = a.grade;
            log.answerMs = a.answerMs;
            return std::pair{after, log};
        }));
    store.setSetting(stats::kStreakKey, QStringLiteral("%1:2").arg(T - 1));
    const stats::Figures f = stats::load(store, T);
    int dueTotal = 0;
    for (int n : f.due)
        dueTotal += n;

    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    const std::pair<const char*, std::pair<double, double>> rows[] = {
        {"unit 1 new", {f.units[0].fresh, 25}},     {"unit 1 learning", {f.units[0].learning, 1}},
        {"unit 1 known", {f.units[0].known, 1}},    {"unit 2 new", {f.units[1].fresh, 26}},
        {"unit 2 learning", {f.units[1].learning, 1}}, {"unit 3 new", {f.units[2].fresh, 27}},
        {"known", {f.known, 1}},                    {"words", {f.total, 648}},
        {"due today, overdue in", {f.due[0], 1}},   {"due in 3 days", {f.due[3], 1}},
        {"due in 20 days", {f.due[20], 1}},         {"due in 30 days", {dueTotal, 3}},
        {"answers today", {f.days[29].reviews, 1}}, {"answers 2 days ago", {f.days[27].reviews, 2}},
        {"ms 2 days ago", {double(f.days[27].answerMs), 3000}}, {"answers 8 days ago", {f.days[21].reviews, 1}},
        {"answers in 30 days", {double(f.logRows), 8}}, {"week right", {f.week.right, 2}},
        {"week counted", {f.week.total, 3}},        {"month right", {f.month.right, 3}},
        {"month counted", {f.month.total, 5}},      {"month share", {f.month.share(), 0.6}},
        {"streak", {f.streak, 2}},
    };
    for (const auto& [name, v] : rows)
        QTest::newRow(name) << v.first << v.second;
}

void TestStats::figures()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(value, expected);
}

void TestStats::streak_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("before");  // the streak shown on day 100
    QTest::addColumn<QString>("after");  // stored once day 100 is finished
    QTest::newRow("first") << "" << 0 << "100:1";
    QTest::newRow("yesterday") << "99:4" << 4 << "100:5";
    QTest::newRow("again today") << "100:5" << 5 << "100:5";
    QTest::newRow("a day missed") << "98:4" << 0 << "100:1";
    QTest::newRow("from the future") << "101:3" << 0 << "100:1";
    QTest::newRow("bad") << "x:y" << 0 << "100:1";
    QTest::newRow("negative") << "99:-3" << 0 << "100:1";
}

void TestStats::streak()
{
    QFETCH(QString, stored);
    QFETCH(int, before);
    QFETCH(QString, after);
    QCOMPARE(stats::streakOf(stored, 100), before);
    QCOMPARE(stats::markFinished(stored, 100), after);
}

void TestStats::exportFile_data()
{
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("fields");
    QTest::newRow("notes") << true << true << 4 + 648 << 6;
    QTest::newRow("log") << false << true << 1 + int(std::size(kLog)) << 5;
    QTest::newRow("notes, unwritable") << true << false << 0 << 0;
    QTest::newRow("log, unwritable") << false << false << 0 << 0;
}

void TestStats::exportFile()
{
    QFETCH(bool, notes);
    QFETCH(bool, writable);
    QFETCH(int, lines);
    QFETCH(int, fields);
    ProgressStore store;
    store.open(dir_.filePath(QStringLiteral("figures.sqlite")));
    QTemporaryDir out;
    QFile blocker(out.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString wav = out.filePath(QStringLiteral("source.wav"));
    QFile(wav).open(QIODevice::WriteOnly);
    const QString folder = writable ? out.filePath(QStringLiteral("to")) : blocker.fileName();
    QDir().mkpath(out.filePath(QStringLiteral("to")));
    const QString path = folder + QStringLiteral("/export.txt");
    const auto sound = [&](std::string_view recording) { return recording == allCards()[0].recording ? wav : QString(); };
    const exporting::Result r = notes ? exporting::writeNotes(path, allCards(), sound)
                                      : exporting::writeLog(path, store, allCards());
    QCOMPARE(r.ok, writable);
    QVERIFY(!r.message.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), writable ? 1 + int(notes) : 0);
    if (!writable)
        return;
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList all = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(all.size(), lines);
    const QString last = all.last();
    QCOMPARE(last.split(notes ? QLatin1Char('\t') : QLatin1Char(',')).size(), fields);
    if (notes)
        QVERIFY(all[4].endsWith(QStringLiteral("[sound:chenxing-%1.wav]").arg(QString::fromUtf8(allCards()[0].word.data()).left(int(allCards()[0].word.size())))));
    else  // the last answer: card 1, Good, after its first answer
        QCOMPARE(last, QStringLiteral("1,%1,3,2,2500").arg(noonOf(T)));
}

QTEST_MAIN(TestStats)
#include "test_stats.moc"
