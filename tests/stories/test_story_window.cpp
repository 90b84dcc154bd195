// The story window driven as a reader drives it: numbers, words, next, previous, clear, exit.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include "content/pane.h"
#include "content/tables.h"
#include "stories/tform4.h"
#include "tests/support/desktop.h"

namespace {

QString pane(const content::KeyedTextTable& t, const char* key, std::size_t i = 0)
{
    for (const auto& r : t.rows)
        if (r.key == key)
            return content::paneText(r.payloads[i]);
    return QStringLiteral("<no row %1>").arg(QString::fromLatin1(key));
}

QString key3(int n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

class TestStoryWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<stories::TForm4> form;

    QString box() const { return form->ComboBox1->currentText(); }
    QString top() const { return form->Memo1->toPlainText(); }
    QString bottom() const { return form->Memo2->toPlainText(); }
    void type(const QString& text) { QTest::keyClicks(form->ComboBox1->lineEdit(), text); }
    void retype(const QString& text)
    {
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
        type(text);
    }
    // Text pasted in one edit, as the input method commits it: no shorter key is passed on the way.
    void paste(const QString& text)
    {
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(form->ComboBox1->lineEdit(), &commit);
        QCOMPARE(box(), text);
    }
    void next() { QTest::mouseClick(form->SpeedButton2, Qt::LeftButton); }
    void previous() { QTest::mouseClick(form->SpeedButton3, Qt::LeftButton); }

private slots:
    void init()
    {
        form = std::make_unique<stories::TForm4>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void windowAndStartState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("幽默故事"));
        QCOMPARE(form->size(), QSize(545, 435));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->Memo1->geometry(), QRect(0, 0, 545, 197));
        QCOMPARE(form->Panel1->geometry(), QRect(0, 197, 545, 2));
        QCOMPARE(form->Memo2->geometry(), QRect(0, 199, 545, 199));
        QCOMPARE(form->Panel2->geometry(), QRect(0, 398, 545, 37));
        QCOMPARE(form->ComboBox1->geometry(), QRect(25, 8, 222, 22));
        const QStringList hints = {"清空", "下一个", "上一个", "退出"};
        int left = 288, i = 0;
        for (QToolButton* b : {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->SpeedButton4}) {
            QCOMPARE(b->geometry(), QRect(left, 8, 56, 22));
            QCOMPARE(b->toolTip(), hints[i++]);
            QVERIFY(b->text().isEmpty() && !b->icon().isNull());
            left += 56;
        }
        QCOMPARE(box(), QStringLiteral("请输入幽默故事序号"));
        const QStringList m1 = top().split('\n'), m2 = bottom().split('\n');
        QCOMPARE(m1.size(), 21);
        QCOMPARE(m1[11], QStringLiteral("       在这样的“<>”中的单词是这个生词的不同形态。如果您想知道某"));
        QCOMPARE(m1[14], QStringLiteral("       个生词的意思，请在“ 幽默故事框 ”中输入这个单词，进行查询。"));
        QCOMPARE(m1[19], QString(7, ' '));
        for (int line : {3, 6, 9, 12, 15, 18, 21})
            QVERIFY(m1[line - 1].startsWith(QString(7, ' ')) && m1[line - 1].size() > 7);
        for (int line : {1, 2, 4, 5, 7, 8, 10, 11, 13, 14, 16, 17, 19})
            QVERIFY2(m1[line - 1].isEmpty(), qPrintable(QString::number(line)));
        QCOMPARE(m2.size(), 12);
        QCOMPARE(m2[2], QStringLiteral("       在这个界面中，上半部分是英语阅读区，下半部分是汉语阅读区，只"));
        QCOMPARE(m2[5], QStringLiteral("       要您用鼠标指住中间的那条横线，上下拖动横线，您就可以改变两个"));
        QCOMPARE(m2[8], QStringLiteral("       阅读区的大小。下面这四个键分别是：清空、下一个、上一个、退出"));
        QVERIFY(m2[11].startsWith(QString(7, ' ')) && m2[11].size() > 7);
        // Neither pane offers a menu.
        for (QPlainTextEdit* p : {form->Memo1, form->Memo2}) {
            QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10), p->mapToGlobal(QPoint(10, 10)));
            QApplication::sendEvent(p->viewport(), &e);
            QVERIFY(QApplication::activePopupWidget() == nullptr);
        }
        // The prompt has no step either way.
        next();
        previous();
        QCOMPARE(box(), QStringLiteral("请输入幽默故事序号"));
    }

    void typingNumbers()
    {
        const QString intro1 = top(), intro2 = bottom();
        retype("0");
        QCOMPARE(top(), intro1);
        type("0");
        QCOMPARE(top(), pane(content::VocabularyUnits, "00"));
        QCOMPARE(bottom(), intro2);
        type("0");
        QCOMPARE(top(), pane(content::ContentsPage, "000", 0));
        QCOMPARE(bottom(), pane(content::ContentsPage, "000", 1));
        type("1");  // "0001"
        QCOMPARE(top(), pane(content::ContentsPage, "000", 0));
        QCOMPARE(bottom(), pane(content::ContentsPage, "000", 1));
        for (const char* none : {"05", "5", "051", "0050", " 001", "Betty", "rome", "animals", "Uh oh"}) {
            paste(QString::fromLatin1(none));
            QCOMPARE(top(), pane(content::ContentsPage, "000", 0));
            QCOMPARE(bottom(), pane(content::ContentsPage, "000", 1));
        }
    }

    void storyThenGlossaryThenStory()
    {
        retype("003");
        QCOMPARE(top(), pane(content::Stories, "003", 0));
        QCOMPARE(bottom(), pane(content::Stories, "003", 1));
        retype("manner");
        QCOMPARE(top(), pane(content::Stories, "003", 0));
        QCOMPARE(bottom(), pane(content::StoryGlossary, "manner"));
        retype("003");
        QCOMPARE(bottom(), pane(content::Stories, "003", 1));
        // A unit number over a story changes only the top pane.
        retype("01");
        QCOMPARE(top(), pane(content::VocabularyUnits, "01"));
        QCOMPARE(bottom(), pane(content::Stories, "003", 1));
    }

    void shorterKeysShowOnTheWay()
    {
        retype("m");
        const QString before = bottom();
        QCOMPARE(bottom(), before);
        type("a");
        QCOMPARE(bottom(), pane(content::StoryGlossary, "ma"));
        type("n");
        QCOMPARE(bottom(), pane(content::StoryGlossary, "man"));
        type("ne");
        QCOMPARE(bottom(), pane(content::StoryGlossary, "man"));
        type("r");
        QCOMPARE(bottom(), pane(content::StoryGlossary, "manner"));
        retype("I");
        const QString i = bottom();
        retype("i");
        QCOMPARE(bottom(), i);
        retype("Uh");
        QVERIFY(bottom().startsWith(QStringLiteral("\nUh oh\n")));
    }

    void nextAndPrevious()
    {
        retype("049");
        next();
        QCOMPARE(box(), QStringLiteral("050"));
        QCOMPARE(top(), pane(content::Stories, "050", 0));
        QCOMPARE(bottom(), pane(content::Stories, "050", 1));
        next();
        QCOMPARE(box(), QStringLiteral("050"));
        // Typing on after a step runs the lookups on the new text, which matches nothing.
        type("0");
        QCOMPARE(box(), QStringLiteral("0500"));
        QCOMPARE(top(), pane(content::Stories, "050", 0));

        retype("001");
        previous();
        QCOMPARE(box(), QStringLiteral("000"));
        QCOMPARE(top(), pane(content::ContentsPage, "000", 0));
        QCOMPARE(bottom(), pane(content::ContentsPage, "000", 1));
        previous();
        QCOMPARE(box(), QStringLiteral("000"));
        next();
        QCOMPARE(box(), QStringLiteral("001"));
        QCOMPARE(top(), pane(content::Stories, "001", 0));

        // Units step through the top pane only.
        const QString translation = bottom();
        retype("00");
        for (const char* k : {"01", "02", "03", "04"}) {
            next();
            QCOMPARE(box(), QString::fromLatin1(k));
            QCOMPARE(top(), pane(content::VocabularyUnits, k));
            QCOMPARE(bottom(), translation);
        }
        next();
        QCOMPARE(box(), QStringLiteral("04"));
        for (const char* k : {"03", "02", "01", "00"}) {
            previous();
            QCOMPARE(box(), QString::fromLatin1(k));
            QCOMPARE(top(), pane(content::VocabularyUnits, k));
        }
        previous();
        QCOMPARE(box(), QStringLiteral("00"));

        for (const char* stuck : {"manner", "5", "051", " 001", ""}) {
            retype(QString::fromLatin1(stuck));
            const QString t = top(), b = bottom();
            next();
            previous();
            QCOMPARE(box(), QString::fromLatin1(stuck));
            QCOMPARE(top(), t);
            QCOMPARE(bottom(), b);
        }
    }

    void fullWalk()
    {
        retype("000");
        for (int n = 1; n <= 50; ++n) {
            next();
            QCOMPARE(box(), key3(n));
            QCOMPARE(top(), pane(content::Stories, key3(n).toLatin1().constData(), 0));
            QCOMPARE(bottom(), pane(content::Stories, key3(n).toLatin1().constData(), 1));
        }
        for (int n = 49; n >= 0; --n) {
            previous();
            QCOMPARE(box(), key3(n));
            const QByteArray k = key3(n).toLatin1();
            const auto& table = n == 0 ? content::ContentsPage : content::Stories;
            QCOMPARE(top(), pane(table, k.constData(), 0));
            QCOMPARE(bottom(), pane(table, k.constData(), 1));
        }
    }

    void keyboard()
    {
        retype("003");
        support::walkTabOrder(form.get(), {form->Memo1, form->Memo2, form->ComboBox1});
        support::dropIsRefused(form->Memo1);
        support::dropIsRefused(form->Memo2);
        retype("049");
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(box(), QStringLiteral("050"));
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(box(), QStringLiteral("049"));
        QCOMPARE(top(), pane(content::Stories, "049", 0));
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(box(), QString());
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_Escape);
        QVERIFY(!form->isVisible());
    }

    void clearAndExit()
    {
        retype("003");
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
        QCOMPARE(box(), QString());
        QCOMPARE(top(), pane(content::Stories, "003", 0));
        QCOMPARE(bottom(), pane(content::Stories, "003", 1));
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
        QCOMPARE(box(), QString());
        type("007");
        QTest::mouseClick(form->SpeedButton4, Qt::LeftButton);
        QVERIFY(!form->isVisible());
        form->show();
        QCOMPARE(box(), QStringLiteral("007"));
        QCOMPARE(top(), pane(content::Stories, "007", 0));
    }
};

QTEST_MAIN(TestStoryWindow)
#include "test_story_window.moc"
