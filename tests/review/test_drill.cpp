#include <sys/wait.h>
#include <unistd.h>

#include <QAccessible>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QLockFile>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "review/answer.h"
#include "review/fsrs.h"
#include "review/review_window.h"
#include "review/single_instance.h"
#include "review/stats.h"
#include "review/word_list.h"
#include "review/store.h"

using namespace review;

namespace {
const Card& cardOf(std::string_view word)
{
    for (const Card& c : allCards())
        if (c.word == word)
            return c;
    qFatal("no card %s", std::string(word).c_str());
}

// '=' right, '~' wrong, '-' missing, '+' extra.
QString markString(const AnswerCheck& check)
{
    QString s;
    for (const LetterMark& m : check.marks)
        s += QStringLiteral("=~-+")[static_cast<int>(m.state)];
    return s;
}
} // namespace

class TestDrill : public QObject {
    Q_OBJECT
private slots:
    void answerCheck_data();
    void answerCheck();
    void sessionWalk();
    void learnersWeek();
    void leech();
    void oneCopy();

private:
    void shot(QWidget* w, const char* name)
    {
        if (qEnvironmentVariableIsSet("DRILL_SHOTS"))
            w->grab().save(QStringLiteral("/tmp/drill-%1.png").arg(QLatin1String(name)));
    }
};

void TestDrill::answerCheck_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("feedback");
    QTest::newRow("missing and wrong") << "ache" << "ake" << "=-~=" << "缺 c：常 CHANG|错 h（写成 k）：喝 HE";
    QTest::newRow("extra letter") << "ache" << "acche" << "=+===" << "多 c";
    QTest::newRow("extra at end") << "ache" << "aches" << "====+" << "多 s";
    QTest::newRow("empty") << "ache" << "" << "----" << "缺 a：照 ZHAO|缺 c：常 CHANG|缺 h：喝 HE|缺 e：酒 JIU";
    QTest::newRow("case and blanks") << "Africa" << "  aFRICA " << "" << "";
    QTest::newRow("right") << "ache" << "ache" << "" << "";
    QTest::newRow("other card's word") << "ache" << " Pain" << "" << "";
    QTest::newRow("a card word of another meaning") << "ache" << "back" << "+==-~" << "多 b|缺 h：喝 HE|错 e（写成 k）：酒 JIU";
}

void TestDrill::answerCheck()
{
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(QString, marks);
    QFETCH(QString, feedback);
    const AnswerCheck check = checkAnswer(cardOf(word.toStdString()), typed);
    // The other card's word where two cards ask one meaning, and only there.
    const Card* other = otherCardOfMeaning(cardOf(word.toStdString()), typed);
    QCOMPARE(other ? QString::fromUtf8(other->word.data(), other->word.size()) : QString(), QString(QTest::currentDataTag() == QLatin1String("other card's word") ? "pain" : ""));
    if (other)
        return;
    QCOMPARE(check.right, marks.isEmpty());
    QCOMPARE(markString(check), marks);
    QCOMPARE(describe(check).join(QLatin1Char('|')), feedback);
}

void TestDrill::sessionWalk()
{
    QTemporaryDir dir;
    std::int64_t now = QDateTime(QDate(2024, 3, 1), QTime(12, 0)).toMSecsSinceEpoch();
    const std::int64_t firstDay = fsrs::learningDay(now);
    ProgressStore store;
    ReviewWindow w(store, [&now] { return now; });
    w.openStore(dir.filePath(QStringLiteral("progress.sqlite")));
    QVERIFY(store.isOpen());
    w.session().setDailyNewWords(3);
    w.restart();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    auto* answer = w.findChild<QLineEdit*>(QStringLiteral("answer"));
    auto* counts = w.findChild<QLabel*>(QStringLiteral("counts"));
    auto* feedback = w.findChild<QLabel*>(QStringLiteral("feedback"));
    QVERIFY(!answer->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(counts->text(), QStringLiteral("待复习 0　新词 3　暂放 0"));
    // No statistics module beside this program: the page says so and the drill goes on.
    w.showPage(1);
    QVERIFY(w.findChild<QLabel*>(QStringLiteral("statsMissing")));
    w.showPage(0);
    const auto cards = allCards();
    const auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    // Each new word is first shown whole (its code and senses too); Enter goes on, and it is asked
    // once the others have been shown.
    // The day's three new words, shuffled: shown[0] is asked first.
    const Card* shown[3];
    for (int i = 0; i < 3; ++i) {
        QVERIFY(w.showingNewWord());
        shown[i] = w.session().current();
        QVERIFY(shown[i] >= &cards[0] && shown[i] <= &cards[2]);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("word"))->text(), QString::fromUtf8(shown[i]->word.data(), shown[i]->word.size()));
        if (shown[i] == &cards[0])
            QVERIFY(feedback->text().contains(QStringLiteral("绝对的")));
        if (i == 0)
            shot(&w, "new-word");
        key(Qt::Key_Return);
    }
    QVERIFY(!w.showingNewWord());
    QTRY_VERIFY(answer->hasFocus());

    // Right, typed: Good is preselected and Enter takes it; a new word then has a second step.
    QCOMPARE(w.session().current(), shown[0]);
    shot(&w, "recall-front");
    QTest::keyClicks(answer, QString::fromUtf8(shown[0]->word.data(), shown[0]->word.size()).toUpper());
    QTest::keyClick(answer, Qt::Key_Return);
    QVERIFY(w.showingBack());
    now += 4000;
    key(Qt::Key_Return);
    // Wrong, typed: the feedback names the letters, Enter takes Again.
    QCOMPARE(w.session().current(), shown[1]);
    QTest::keyClicks(answer, QStringLiteral("x"));
    QTest::keyClick(answer, Qt::Key_Return);
    QVERIFY(feedback->text().contains(QStringLiteral("缺 ")));
    shot(&w, "recall-back-wrong");
    key(Qt::Key_Return);
    QCOMPARE(counts->text(), QStringLiteral("待复习 0　新词 1　暂放 2"));
    // Ctrl+Z takes that grade back, card and log row, and asks the card again.
    QTest::keyClick(answer, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.session().current(), shown[1]);
    QCOMPARE(counts->text(), QStringLiteral("待复习 0　新词 2　暂放 1"));
    QCOMPARE(store.logCount(), 1);
    QTest::keyClicks(answer, QStringLiteral("x"));
    QTest::keyClick(answer, Qt::Key_Return);
    key(Qt::Key_Return);
    // A stray Space is nothing; Enter on an empty field turns the card; graded Hard by key.
    QCOMPARE(w.session().current(), shown[2]);
    QTest::keyClick(answer, Qt::Key_Space);
    QVERIFY(!w.showingBack());
    QTest::keyClick(answer, Qt::Key_Return);
    QVERIFY(w.showingBack());
    QVERIFY(answer->text().isEmpty());
    key(Qt::Key_2);
    // Nothing else left: the step card that comes back first (Again: one minute) shows at once.
    QCOMPARE(counts->text(), QStringLiteral("待复习 0　新词 0　暂放 3"));
    QCOMPARE(w.session().current(), shown[1]);
    shot(&w, "in-step");
    // Every step is in the store: a program started now (as after a kill) has the three in steps.
    {
        Session restarted(&store, [&now] { return now; });
        restarted.setDailyNewWords(3);
        restarted.start();
        QCOMPARE(restarted.setAside(), 3);
        QCOMPARE(restarted.current(), shown[1]);
    }
    // Each leaves its steps once answered right at the last one, minutes later.
    int answers = 3;
    while (!w.session().finished() && answers < 20) {
        now += 11 * 60000;
        QTest::keyClick(answer, Qt::Key_Return);
        key(Qt::Key_3);
        ++answers;
    }
    QVERIFY(w.session().finished());
    QVERIFY(w.findChild<QLabel*>(QStringLiteral("finished"))->text().startsWith(QStringLiteral("今天的复习完成了！")));
    shot(&w, "finished");
    QCOMPARE(answers, 8);  // the first one more Good, the other two two more each
    QCOMPARE(store.logCount(), 8);

    std::int64_t lastDue = 0;
    const auto stored = store.loadProgress();
    QCOMPARE(stored.size(), size_t(3));
    for (const CardProgress& p : stored) {
        QCOMPARE(p.firstReviewDay, firstDay);
        QCOMPARE(p.state, int(fsrs::CardState::Review));
        QVERIFY(p.dueDay > firstDay);
        lastDue = std::max(lastDue, p.dueDay);
    }
    const auto again = std::find_if(stored.begin(), stored.end(), [&](const CardProgress& p) { return p.word == shown[1]->word; });
    QCOMPARE(again->reps, 3);
    QCOMPARE(again->lapses, 0);  // an Again while learning is no lapse

    // On the day the last of them falls due, all three come back before three new words.
    now += (lastDue - firstDay) * 86400000LL;
    w.restart();
    QCOMPARE(w.session().dueLeft(), 3);
    QCOMPARE(w.session().newLeft(), 3);
    // More due than the day's limit: the most overdue up to it, no new words, and the window says so.
    w.session().setReviewLimit(2);
    w.restart();
    QCOMPARE(w.session().dueLeft(), 2);
    QCOMPARE(w.session().newLeft(), 0);
    QVERIFY(counts->text().contains(QStringLiteral("超过上限 2")));
    w.session().setReviewLimit(0);
    w.session().setDailyNewWords(0);
    w.restart();
    QCOMPARE(w.session().dueLeft(), 3);
    QTest::keyClick(&w, Qt::Key_2, Qt::ControlModifier);  // dictation
    QCOMPARE(w.currentMode(), Mode::Dictation);
    QVERIFY(!w.session().currentIsNew());
    shot(&w, "dictation-front");
    const std::string word(w.session().current()->word);
    QTest::keyClicks(answer, QString::fromStdString(word));
    QTest::keyClick(answer, Qt::Key_Return);
    shot(&w, "dictation-back");
    key(Qt::Key_1);  // a lapse
    QCOMPARE(w.session().dueLeft(), 2);
    const auto after = store.loadProgress();
    const auto lapsed = std::find_if(after.begin(), after.end(), [&](const CardProgress& p) { return p.word == word; });
    QCOMPARE(lapsed->lastReviewDay, lastDue);
    QCOMPARE(lapsed->lapses, 1);
    QCOMPARE(lapsed->state, int(fsrs::CardState::Relearning));
}

// What a learner meets in the first week: no key lost, the settings kept, the day's sums from the
// log across restarts, an open window moving to the new day, card content for a screen reader.
void TestDrill::learnersWeek()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
    std::int64_t now = QDateTime(QDate(2024, 3, 4), QTime(23, 0)).toMSecsSinceEpoch();
    const auto open = [&](ProgressStore& store, ReviewWindow& w) {
        w.openStore(path);
        w.session().setDailyNewWords(2);
        w.restart();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        while (w.showingNewWord())
            QTest::keyClick(&w, Qt::Key_Return);
    };
    const auto answerRight = [](ReviewWindow& w) {
        auto* answer = w.findChild<QLineEdit*>(QStringLiteral("answer"));
        QTest::keyClicks(answer, QString::fromUtf8(w.session().current()->word.data(), w.session().current()->word.size()));
        QTest::keyClick(answer, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    {
        ProgressStore store;
        ReviewWindow w(store, [&now] { return now; });
        open(store, w);
        auto* answer = w.findChild<QLineEdit*>(QStringLiteral("answer"));
        auto* sound = w.findChild<QCheckBox*>(QStringLiteral("autoSound"));
        auto* prompt = w.findChild<QLabel*>(QStringLiteral("prompt"));
        QTRY_VERIFY(answer->hasFocus());
        QTest::keyClick(answer, Qt::Key_A, Qt::AltModifier);
        QVERIFY(!sound->isChecked());
        QVERIFY(answer->hasFocus());
        QTest::keyClicks(answer, QStringLiteral(" ab"));
        QCOMPARE(answer->text(), QStringLiteral("ab"));
        answer->clear();
        const int pixels = prompt->font().pixelSize();
        QTest::keyClick(answer, Qt::Key_Equal, Qt::ControlModifier);
        QVERIFY(prompt->font().pixelSize() > pixels);
        // The prompt read as a screen reader reads it: what it is, and its text.
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(prompt);
        QCOMPARE(read->text(QAccessible::Name), QStringLiteral("题目"));
        QCOMPARE(read->textInterface()->text(0, read->textInterface()->characterCount()), prompt->text());
        QTest::keyClick(&w, Qt::Key_2, Qt::ControlModifier);
        const Card* asked = w.session().current();
        answerRight(w);
        QAccessibleInterface* code = QAccessible::queryAccessibleInterface(w.findChild<QLabel*>(QStringLiteral("code")));
        QVERIFY(code->textInterface()->text(0, 200).startsWith(QString::fromUtf8(asked->code.data(), asked->code.size()) + "："));
        w.resize(900, 700);
        w.close();
    }
    now += 30 * 60000;
    ProgressStore store;
    ReviewWindow w(store, [&now] { return now; });
    open(store, w);
    QCOMPARE(w.currentMode(), Mode::Dictation);
    QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("autoSound"))->isChecked());
    QCOMPARE(w.cardScale(), 115);
    QCOMPARE(w.size(), QSize(900, 700));
    // The first run's word back from its step, the second new word through both steps.
    for (int i = 0; i < 3; ++i)
        answerRight(w);
    QVERIFY(w.session().finished());
    auto* finished = w.findChild<QLabel*>(QStringLiteral("finished"));
    QVERIFY2(finished->text().contains(QStringLiteral("今天答了 4 次")), qPrintable(finished->text()));
    // 再学: more new words today, after the day's are done.
    w.findChild<QPushButton*>(QStringLiteral("moreNew"))->click();
    QCOMPARE(w.session().newLeft(), 27);
    QVERIFY(w.showingNewWord());

    // Past 04:00 the open window moves on at the next key or focus.
    now = QDateTime(QDate(2024, 3, 5), QTime(4, 1)).toMSecsSinceEpoch();
    QTest::keyClick(&w, Qt::Key_Space);
    QVERIFY(!w.session().finished());
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("counts"))->text(), QStringLiteral("待复习 0　新词 2　暂放 0"));
    // The day's backup, once the window is up.
    QTRY_VERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("backups/progress-20240305.sqlite"))));

    // 斩: a new word marked known never comes again and counts as known.
    QVERIFY(w.showingNewWord());
    const std::string known(w.session().current()->word);
    QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
    QVERIFY(w.session().current()->word != known);
    w.restart();
    QCOMPARE(w.session().newLeft(), 1);
    QCOMPARE(stats::load(store, w.session().today()).known, 1);

    // The word list finds a card by word, meaning or code, filters by state, and acts on it.
    w.showPage(2);
    WordListPage* list = w.wordList();
    auto* search = list->findChild<QLineEdit*>(QStringLiteral("search"));
    const Card& absolute = allCards()[0];
    for (const auto& text : {QStringLiteral("ABSOLUTE"), QStringLiteral("完全的"), QString::fromUtf8(absolute.code.data(), absolute.code.size())}) {
        search->setText(text);
        QCOMPARE(list->shownRows(), 1);
    }
    search->clear();
    list->findChild<QComboBox*>(QStringLiteral("stateFilter"))->setCurrentIndex(4);  // 已掌握
    QCOMPARE(list->shownRows(), 1);
    auto* cards = list->findChild<QTreeWidget*>(QStringLiteral("cards"));
    for (int i = 0; i < cards->topLevelItemCount(); ++i)
        if (!cards->topLevelItem(i)->isHidden())
            cards->setCurrentItem(cards->topLevelItem(i));
    QCOMPARE(cards->currentItem()->text(0).toStdString(), known);  // the word marked 斩
    list->findChild<QPushButton*>(QStringLiteral("suspendCard"))->click();
    const auto after = store.loadProgress();
    QVERIFY(std::any_of(after.begin(), after.end(), [&](const CardProgress& p) { return p.word == known && (p.flags & CardFlag::Suspended); }));
}

// A word failed eight times says so, shows its code, and Ctrl+S puts it away for good.
void TestDrill::leech()
{
    QTemporaryDir dir;
    std::int64_t now = QDateTime(QDate(2024, 3, 4), QTime(10, 0)).toMSecsSinceEpoch();
    ProgressStore store;
    ReviewWindow w(store, [&now] { return now; });
    w.openStore(dir.filePath(QStringLiteral("progress.sqlite")));
    w.session().setDailyNewWords(1);
    w.restart();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Return);  // the new word shown
    auto* notice = w.findChild<QLabel*>(QStringLiteral("notice"));
    const Card* card = w.session().current();
    for (int fails = 0; fails < Session::kLeechFails; ++fails) {
        QVERIFY(!notice->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
        QCOMPARE(w.session().current(), card);  // nothing else left: back at once
    }
    QVERIFY(notice->isVisible() && notice->text().contains(QStringLiteral("答错 8 次")));
    QVERIFY(notice->text().contains(QString::fromUtf8(card->code.data(), card->code.size())));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(w.session().finished());
    w.restart();
    QVERIFY(w.session().finished());
    const auto stored = store.loadProgress();
    QCOMPARE(stored.size(), std::size_t(1));
    QCOMPARE(stored[0].flags & (CardFlag::Leech | CardFlag::Suspended), CardFlag::Leech | CardFlag::Suspended);
}

// A second start finds the first and asks it to show itself; a killed copy's lock is taken over.
void TestDrill::oneCopy()
{
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path()), second(dir.path());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QVERIFY(first.acquire());
        QVERIFY(!second.acquire());
        QTRY_COMPARE(shown.count(), 1);
    }
    const pid_t child = fork();
    if (child == 0) {
        QLockFile lock(dir.filePath(QStringLiteral("chenxing-review.lock")));
        _exit(lock.tryLock(0) ? 0 : 1);  // dies holding it
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QCOMPARE(status, 0);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("chenxing-review.lock"))));
    SingleInstance next(dir.path());
    QVERIFY(next.acquire());
}

QTEST_MAIN(TestDrill)
#include "test_drill.moc"
