// The one pass and the pane write rule, on small tables of the test's own.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

#include "content/keyed_text_table.h"
#include "content/pane.h"

using namespace std::string_view_literals;
using content::KeyedTextTable;
using content::Row;

namespace {

constexpr std::string_view one[] = {"first"sv};
constexpr std::string_view two[] = {"second"sv};
constexpr std::string_view empty[] = {""sv};
constexpr std::string_view targetNames[] = {"pane"sv};

constexpr Row dupRows[] = {{"a"sv, one}, {"b"sv, empty}, {"a"sv, two}};
const KeyedTextTable dupTable{"Dup"sv, "box"sv, targetNames, dupRows};

// Steps a number by rewriting its own source: forward rows descending, backward rows ascending.
constexpr std::string_view to2[] = {"2"sv}, to3[] = {"3"sv}, to1[] = {"1"sv};
constexpr Row forwardRows[] = {{"2"sv, to3}, {"1"sv, to2}};
constexpr Row forwardWrongOrder[] = {{"1"sv, to2}, {"2"sv, to3}};
constexpr Row backwardRows[] = {{"2"sv, to1}, {"3"sv, to2}};
const KeyedTextTable forward{"Forward"sv, "box"sv, targetNames, forwardRows};
const KeyedTextTable forwardBad{"ForwardBad"sv, "box"sv, targetNames, forwardWrongOrder};
const KeyedTextTable backward{"Backward"sv, "box"sv, targetNames, backwardRows};

QString longText()
{
    QString t;
    for (int i = 0; i < 200; ++i)
        t += QStringLiteral("line %1\n").arg(i);
    return t;
}

} // namespace

class TestKeyedTextTable : public QObject {
    Q_OBJECT
private slots:
    void matchingIsExactAndCaseSensitive_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << "back" << true;
        QTest::newRow("capital") << "Back" << false;
        QTest::newRow("blank before") << " back" << false;
        QTest::newRow("blank after") << "back " << false;
        QTest::newRow("prefix") << "bac" << false;
        QTest::newRow("longer") << "backs" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("full-width") << QStringLiteral("ｂａｃｋ") << false;
        QTest::newRow("latin-1 lookalike") << QStringLiteral("bäck") << false;
    }
    void matchingIsExactAndCaseSensitive()
    {
        QFETCH(QString, text);
        QFETCH(bool, matches);
        QCOMPARE(content::keyEquals(text, "back"), matches);
    }

    void lastMatchWinsAndEveryRowIsVisited()
    {
        QStringList writes;
        content::apply(dupTable, [] { return QStringLiteral("a"); },
                       {[&](std::string_view p) { writes << QString::fromUtf8(p.data(), p.size()); }});
        QCOMPARE(writes, QStringList({"first", "second"}));
    }

    void noMatchWritesNothing()
    {
        int writes = 0;
        content::apply(dupTable, [] { return QStringLiteral("z"); }, {[&](std::string_view) { ++writes; }});
        QCOMPARE(writes, 0);
    }

    void emptyPayloadClearsThePane()
    {
        QPlainTextEdit pane;
        pane.setPlainText(QStringLiteral("something"));
        content::apply(dupTable, [] { return QStringLiteral("b"); }, {content::paneTarget(&pane)});
        QCOMPARE(pane.toPlainText(), QString());
    }

    void targetsAreWrittenInOrderAndShortRowsWriteOnlyTheirOwn()
    {
        static constexpr std::string_view full[] = {"x"sv, "y"sv, "z"sv};
        static constexpr std::string_view shortRow[] = {"p"sv, "q"sv};
        static constexpr std::string_view names[] = {"t1"sv, "t2"sv, "t3"sv};
        static constexpr Row rows[] = {{"k"sv, full}, {"s"sv, shortRow}};
        const KeyedTextTable t{"T"sv, "box"sv, names, rows};
        QString order;
        const auto target = [&](char id) { return [&order, id](std::string_view p) { order += QLatin1Char(id) + QString::fromUtf8(p.data(), p.size()); }; };
        content::apply(t, [] { return QStringLiteral("k"); }, {target('1'), target('2'), target('3')});
        QCOMPARE(order, QStringLiteral("1x2y3z"));
        order.clear();
        content::apply(t, [] { return QStringLiteral("s"); }, {target('1'), target('2'), target('3')});
        QCOMPARE(order, QStringLiteral("1p2q"));
    }

    void selfRewritingTableStepsExactlyOnce()
    {
        QComboBox box;
        box.setEditable(true);
        const auto step = [&](const KeyedTextTable& t) {
            content::apply(t, content::boxSource(&box), {content::boxTarget(&box)});
            return box.currentText();
        };
        box.setEditText(QStringLiteral("1"));
        QCOMPARE(step(forward), QStringLiteral("2"));
        QCOMPARE(step(forward), QStringLiteral("3"));
        QCOMPARE(step(forward), QStringLiteral("3"));  // no step from the last key
        QCOMPARE(step(backward), QStringLiteral("2"));
        QCOMPARE(step(backward), QStringLiteral("1"));
        QCOMPARE(step(backward), QStringLiteral("1"));
        // The source is read afresh for every row: in ascending order one pass runs through.
        box.setEditText(QStringLiteral("1"));
        QCOMPARE(step(forwardBad), QStringLiteral("3"));
    }

    void equalTextIsNotRewritten()
    {
        QPlainTextEdit pane;
        pane.resize(200, 100);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const QByteArray payload = longText().replace('\n', '\r').toUtf8();
        content::writePane(&pane, std::string_view(payload.constData(), payload.size()));
        QTextCursor c = pane.textCursor();
        c.setPosition(30);
        pane.setTextCursor(c);
        QCoreApplication::processEvents();
        pane.verticalScrollBar()->setValue(pane.verticalScrollBar()->maximum() / 2);
        const int scrolled = pane.verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        content::writePane(&pane, std::string_view(payload.constData(), payload.size()));
        QCOMPARE(pane.verticalScrollBar()->value(), scrolled);
        QCOMPARE(pane.textCursor().position(), 30);
        // A different payload replaces the text and shows it from its first line.
        content::writePane(&pane, "other"sv);
        QCOMPARE(pane.toPlainText(), QStringLiteral("other"));
        QCOMPARE(pane.verticalScrollBar()->value(), 0);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("shown");
        QTest::newRow("lone CR") << QByteArray("a\rb") << "a\nb";
        QTest::newRow("lone LF") << QByteArray("a\nb") << "a\nb";
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << "a\nb";
        QTest::newRow("LF CR is two") << QByteArray("a\n\rb") << "a\n\nb";
        QTest::newRow("two CRs, one empty line") << QByteArray("a\r\rb") << "a\n\nb";
        QTest::newRow("leading CR") << QByteArray("\rtitle") << "\ntitle";
        QTest::newRow("trailing CR") << QByteArray("end\r") << "end\n";
        QTest::newRow("multibyte next to breaks") << QByteArray("\r背\r面\r\n汉") << QStringLiteral("\n背\n面\n汉");
        QTest::newRow("full-width signs") << QByteArray("（同上）\r：") << QStringLiteral("（同上）\n：");
    }
    void lineBreaks()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, shown);
        QCOMPARE(content::paneText(std::string_view(payload.constData(), payload.size())), shown);
    }

    void boxWriteOnlyWhenDifferent()
    {
        QComboBox box;
        box.setEditable(true);
        box.setEditText(QStringLiteral("ache"));
        box.lineEdit()->setCursorPosition(2);
        content::writeBox(&box, "ache"sv);
        QCOMPARE(box.lineEdit()->cursorPosition(), 2);
        content::writeBox(&box, "back"sv);
        QCOMPARE(box.currentText(), QStringLiteral("back"));
    }
};

QTEST_MAIN(TestKeyedTextTable)
#include "test_keyed_text_table.moc"
