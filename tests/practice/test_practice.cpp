// The practice window: unit lookups, the 48 sheets, the divider bar, and hiding.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include "content/pane.h"
#include "content/tables.h"
#include "practice/tform3.h"
#include "tests/support/desktop.h"
#include "tests/support/gbk.h"
#include "tests/support/pinyin.h"

using namespace testsupport;

namespace {

QString sheet(const content::KeyedTextTable& t, const QString& key)
{
    for (const auto& r : t.rows)
        if (q(r.key) == key)
            return content::paneText(r.payloads[0]);
    return {};
}

// Cells of a sheet line, with the GBK column each starts at.
QList<std::pair<int, QString>> cells(const QString& line)
{
    QList<std::pair<int, QString>> out;
    static const QRegularExpression cell(QStringLiteral("\\S+( \\S+)?"));
    for (auto it = cell.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        QString text = m.captured();
        // "Unit 001" is one cell; two words never share a cell.
        if (!text.startsWith("Unit ") && text.contains(' ')) {
            out << std::pair{gbkWidth(line.left(m.capturedStart())), text.section(' ', 0, 0)};
            out << std::pair{gbkWidth(line.left(m.capturedStart() + text.indexOf(' ') + 1)), text.section(' ', 1)};
            continue;
        }
        out << std::pair{gbkWidth(line.left(m.capturedStart())), text};
    }
    return out;
}

QSet<QString> dictionaryKeys()
{
    QSet<QString> keys;
    for (const auto* t : {&content::TypedEntryTable, &content::TypedPhoneticTable})
        for (const auto& r : t->rows)
            keys.insert(q(r.key).toLower());
    return keys;
}

} // namespace

class TestPractice : public QObject {
    Q_OBJECT
    std::unique_ptr<practice::TForm3> form;

    void type(QComboBox* box, const QString& text) { QTest::keyClicks(box->lineEdit(), text); }

private slots:
    void init()
    {
        form = std::make_unique<practice::TForm3>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void windowAndStartState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("单词练习"));
        QCOMPARE(form->size(), QSize(545, 432));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->Memo1->geometry(), QRect(0, 0, 545, 197));
        QCOMPARE(form->Panel1->geometry(), QRect(0, 197, 545, 3));
        QCOMPARE(form->Memo2->geometry(), QRect(0, 200, 545, 197));
        QCOMPARE(form->Panel2->geometry(), QRect(0, 397, 545, 35));
        QCOMPARE(form->Label1->geometry(), QRect(8, 11, 81, 14));
        QCOMPARE(form->Label3->geometry(), QRect(288, 11, 81, 14));
        QCOMPARE(form->Label1->text(), QStringLiteral("请输入单元号"));
        QCOMPARE(form->ComboBox1->geometry(), QRect(104, 7, 161, 22));
        QCOMPARE(form->ComboBox2->geometry(), QRect(384, 7, 161, 22));
        QCOMPARE(form->Panel1->cursor().shape(), Qt::SplitVCursor);
        const QStringList intro = form->Memo1->toPlainText().split('\n');
        QCOMPARE(intro.size(), 7);
        QCOMPARE(intro[3], QStringLiteral("       本练习表分为 12 个单元，每个单元共有 27 个单词 ，您只需在"));
        QCOMPARE(intro[6], QStringLiteral("       单词框中输入 001 - 012 的单元号，就能显示出各个单元的内容"));
        QCOMPARE(form->Memo2->toPlainText(), form->Memo1->toPlainText() + "\n\n");
        QVERIFY(form->ComboBox1->currentText().isEmpty() && form->ComboBox2->currentText().isEmpty());
        QCOMPARE(form->Memo1->contextMenuPolicy(), Qt::DefaultContextMenu);
        QCOMPARE(form->Memo2->contextMenuPolicy(), Qt::PreventContextMenu);
    }

    void lookups()
    {
        const QString intro1 = form->Memo1->toPlainText(), intro2 = form->Memo2->toPlainText();
        type(form->ComboBox1, "0");
        type(form->ComboBox1, "0");
        QCOMPARE(form->Memo1->toPlainText(), intro1);
        type(form->ComboBox1, "1");
        QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "001"));
        QCOMPARE(form->Memo2->toPlainText(), intro2);
        type(form->ComboBox1, "0");  // "0010"
        QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "001"));
        QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "001"));
        for (const char* none : {"025", "000", "1", "01", " 001", "0001"}) {
            form->ComboBox1->lineEdit()->clear();
            type(form->ComboBox1, QString::fromLatin1(none));
            QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "001"));
        }
        for (int unit = 13; unit <= 24; ++unit) {
            const QString key = QStringLiteral("%1").arg(unit, 3, 10, QLatin1Char('0'));
            form->ComboBox2->lineEdit()->clear();
            type(form->ComboBox2, key);
            QCOMPARE(form->Memo2->toPlainText(), sheet(content::UnitCodeSheets, key));
        }
        // The boxes are independent.
        form->ComboBox1->lineEdit()->clear();
        type(form->ComboBox1, "003");
        form->ComboBox2->lineEdit()->clear();
        type(form->ComboBox2, "017");
        QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "003"));
        QCOMPARE(form->Memo2->toPlainText(), sheet(content::UnitCodeSheets, "017"));
        // Text typed by hand into a pane stays until the next successful lookup.
        form->Memo1->setPlainText(QStringLiteral("my notes"));
        type(form->ComboBox1, "9");
        QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("my notes"));
    }

    void sheetsAgreeWithTheirUnits()
    {
        QCOMPARE(int(content::UnitWordSheets.rows.size()), 24);
        QCOMPARE(int(content::UnitCodeSheets.rows.size()), 24);
        QStringList listWords;
        for (const auto& r : content::WordListTable.rows)
            listWords << q(r.key);
        std::map<QString, QString> headlines;  // word -> "meaning/code"
        static const QRegularExpression head(QStringLiteral("^([A-Za-z]+)  (\\S+/\\S+)$"));
        for (const auto& r : content::WordListTable.rows) {
            const auto m = head.match(q(r.payloads[2]).split('\r').value(1));
            headlines[m.captured(1)] = m.captured(2);
        }
        const QSet<QString> dict = dictionaryKeys();
        QSet<QString> seen;
        QString allCodes;
        QList<std::pair<QString, QString>> newCodes;
        for (int u = 0; u < 24; ++u) {
            const QString key = q(content::UnitWordSheets.rows[u].key);
            QCOMPARE(key, QStringLiteral("%1").arg(u + 1, 3, 10, QLatin1Char('0')));
            QCOMPARE(q(content::UnitCodeSheets.rows[u].key), key);
            const QStringList w = q(content::UnitWordSheets.rows[u].payloads[0]).split('\r');
            const QStringList c = q(content::UnitCodeSheets.rows[u].payloads[0]).split('\r');
            QCOMPARE(w.size(), 26);
            QCOMPARE(c.size(), 27);
            QVERIFY(w.last().isEmpty());
            QVERIFY(!c.last().isEmpty());  // no break after the last entry
            const QList<int> wordLines = {2, 5, 8, 11}, meaningLines = {15, 18, 21, 24};
            for (int i = 0; i < 26; ++i)
                if (!wordLines.contains(i) && !meaningLines.contains(i))
                    QVERIFY2(w[i].isEmpty(), qPrintable(key));
            QStringList words, meanings;
            for (int b = 0; b < 4; ++b)
                for (const QList<int>* block : {&wordLines, &meaningLines}) {
                    const QString line = w[(*block)[b]];
                    QVERIFY2(gbkWidth(line) >= 68 && gbkWidth(line) <= 77, qPrintable(line));
                    const auto cs = cells(line);
                    QCOMPARE(int(cs.size()), 7);
                    for (int i = 0; i < 7; ++i)
                        QVERIFY2(cs[i].first == 11 * i, qPrintable(line));
                    if (b == 0)
                        QCOMPARE(cs[0].second, QStringLiteral("Unit ") + key);
                    for (int i = b == 0 ? 1 : 0; i < 7; ++i)
                        (block == &wordLines ? words : meanings) << cs[i].second;
                }
            QCOMPARE(words.size(), 27);
            QCOMPARE(meanings.size(), 27);
            // The code sheet: header padded to column 37, then entries two to a line.
            QStringList entries;
            QVERIFY(c[0].startsWith(QStringLiteral("Unit ") + key));
            QCOMPARE(gbkWidth(c[0].left(c[0].indexOf(QRegularExpression("\\S", QRegularExpression::NoPatternOption), 8))), 37);
            entries << c[0].mid(8).trimmed();
            for (int i = 2; i < 27; i += 2) {
                QVERIFY(c[i - 1].isEmpty());
                const auto cs = cells(c[i]);
                QCOMPARE(int(cs.size()), 2);
                QCOMPARE(cs[0].first, 0);
                QCOMPARE(cs[1].first, 37);
                entries << cs[0].second << cs[1].second;
            }
            for (int i = 0; i < 27; ++i) {
                QVERIFY2(entries[i].startsWith(meanings[i] + "/"), qPrintable(entries[i]));
                QVERIFY(!seen.contains(words[i]));
                seen.insert(words[i]);
                const int size = gbkWidth(entries[i]);
                QVERIFY2(size >= 9 && size <= 27, qPrintable(entries[i]));
                if (u < 12) {
                    QCOMPARE(words[i], listWords[u * 27 + i]);
                    QCOMPARE(entries[i], headlines[words[i]]);
                } else {
                    QVERIFY2(!dict.contains(words[i].toLower()), qPrintable(words[i]));
                    newCodes << std::pair{words[i], entries[i].section('/', 1)};
                    allCodes += entries[i];
                }
            }
        }
        QCOMPARE(seen.size(), 648);
        const auto usual = usualReadings(allCodes);
        QVERIFY2(!usual.empty(), "the pinyin command is needed");
        const auto seconds = secondReadings();
        QStringList failures;
        for (const auto& [word, code] : newCodes)
            if (const QStringList p = codeProblems(word, code, usual, seconds); !p.isEmpty())
                failures << word + " " + code + ": " + p.join("; ");
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    }

    void dividerBar()
    {
        const auto drag = [&](QWidget* over, QPoint at) {
            QTest::mousePress(form->Panel1, Qt::LeftButton, {}, QPoint(100, 1));
            QMouseEvent move(QEvent::MouseMove, form->Panel1->mapFrom(form.get(), over->mapTo(form.get(), at)),
                             over->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form->Panel1, &move);
            const Qt::CursorShape shape = form->Panel1->cursor().shape();
            QTest::mouseRelease(form->Panel1, Qt::LeftButton, {}, QPoint(100, 1));
            return shape;
        };
        // Down over the bottom pane: the top pane's height becomes its top edge plus the client Y.
        const int memo2Top = form->Memo2->y();
        QCOMPARE(drag(form->Memo2->viewport(), QPoint(50, 60)), Qt::SplitVCursor);
        QCOMPARE(form->Memo1->height(), memo2Top + 60);
        QCOMPARE(form->Panel1->y(), form->Memo1->height());
        QCOMPARE(form->Memo2->y(), form->Memo1->height() + 3);
        QCOMPARE(form->Memo2->y() + form->Memo2->height(), form->Panel2->y());
        // Back up over the top pane: the height is the client Y.
        drag(form->Memo1->viewport(), QPoint(10, 80));
        QCOMPARE(form->Memo1->height(), 80);
        // Over the bottom panel the drag is refused and nothing changes.
        QCOMPARE(drag(form->Panel2, QPoint(10, 10)), Qt::ForbiddenCursor);
        QCOMPARE(form->Memo1->height(), 80);
        // A drag from anything but the bar is refused by both panes.
        bool accept = true;
        form->Memo1DragOver(form->Memo1, form->Memo2, 0, 10, 0, accept);
        QVERIFY(!accept);
        form->Memo2DragOver(form->Memo2, form->ComboBox1, 0, 10, 0, accept);
        QVERIFY(!accept);
        QCOMPARE(form->Memo1->height(), 80);
        // The top pane stays between zero and the space above the bottom panel, less the bar.
        form->Memo2DragOver(form->Memo2, form->Panel1, 0, 5000, 0, accept);
        QVERIFY(accept);
        QCOMPARE(form->Memo1->height(), 397 - 3);
        QCOMPARE(form->Memo2->height(), 0);
        form->Memo1DragOver(form->Memo1, form->Panel1, 0, -50, 0, accept);
        QCOMPARE(form->Memo1->height(), 0);
    }

    void contextMenus()
    {
        QContextMenuEvent bottom(QContextMenuEvent::Mouse, QPoint(20, 20), form->Memo2->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(form->Memo2->viewport(), &bottom);
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QContextMenuEvent top(QContextMenuEvent::Mouse, QPoint(20, 20), form->Memo1->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(form->Memo1->viewport(), &top);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);  // the standard edit menu
        QApplication::activePopupWidget()->close();
    }

    // On a desktop: Tab walks the panes and input boxes, text drags between the panes do nothing,
    // and the top pane at its first height shows a word sheet's first 12 lines whole.
    void desktopUse()
    {
        type(form->ComboBox1, "001");
        type(form->ComboBox2, "013");
        support::walkTabOrder(form.get(), {form->Memo1, form->Memo2, form->ComboBox1, form->ComboBox2});
        support::dropIsRefused(form->Memo1);
        support::dropIsRefused(form->Memo2);
        QPlainTextEdit* top = form->Memo1;
        QCOMPARE(top->height(), 197);
        top->verticalScrollBar()->setValue(0);
        const QTextBlock twelfth = top->document()->findBlockByNumber(11);
        QVERIFY(twelfth.isValid());
        QTextCursor end(twelfth);
        end.movePosition(QTextCursor::EndOfBlock);
        const QRect shown = top->cursorRect(end);
        QVERIFY2(shown.bottom() < top->viewport()->height(), qPrintable(QString::number(shown.bottom())));
    }

    void hidingKeepsEverything()
    {
        type(form->ComboBox1, "005");
        type(form->ComboBox2, "020");
        form->Memo2DragOver(form->Memo2, form->Panel1, 0, 30, 0, *std::make_unique<bool>().get());
        const int height = form->Memo1->height();
        form->close();
        QVERIFY(!form->isVisible());
        form->show();
        QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("005"));
        QCOMPARE(form->ComboBox2->currentText(), QStringLiteral("020"));
        QCOMPARE(form->Memo1->toPlainText(), sheet(content::UnitWordSheets, "005"));
        QCOMPARE(form->Memo2->toPlainText(), sheet(content::UnitCodeSheets, "020"));
        QCOMPARE(form->Memo1->height(), height);
    }
};

QTEST_MAIN(TestPractice)
#include "test_practice.moc"
