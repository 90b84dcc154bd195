// The information pages: their layout, the letter table they teach, and the menu that shows them.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtTest>

#include "app/tform1.h"
#include "content/pane.h"
#include "content/tables.h"
#include "tests/support/gbk.h"
#include "tests/support/pinyin.h"

using namespace testsupport;

namespace {

QStringList pageLines(const char* name)
{
    return q(content::text(name)).split(QLatin1Char('\r'));
}

// Full-width Latin capitals to ASCII.
QString ascii(QString s)
{
    for (QChar& c : s)
        if (c.unicode() >= 0xFF21 && c.unicode() <= 0xFF3A)
            c = QChar(c.unicode() - 0xFF21 + 'A');
    return s;
}

struct LetterRule {
    char letter;
    QStringList prefixes, exceptPrefixes, exactly, except;
    bool noInitial = false;

    bool accepts(const QString& syl) const
    {
        const QString s = syl.toUpper();
        if (!exactly.isEmpty())
            return exactly.contains(s);
        if (except.contains(s))
            return false;
        for (const QString& e : exceptPrefixes)
            if (s.startsWith(e))
                return false;
        if (noInitial)
            return s.startsWith('A') || s.startsWith('E') || s.startsWith('O');
        for (const QString& p : prefixes)
            if (s.startsWith(p))
                return true;
        return false;
    }
};

// Reads the letter table of the rules page: one line per letter, continuations indented.
std::vector<LetterRule> rulesFromPage()
{
    std::vector<LetterRule> rules;
    static const QRegularExpression letterLine(QStringLiteral("^([A-Z])：(.*)$"));
    static const QRegularExpression quoted(QStringLiteral("“([A-Z，]+)”"));
    QStringList joined;
    for (const QString& raw : pageLines("RulesPage")) {
        const QString l = ascii(raw);
        if (letterLine.match(l).hasMatch())
            joined << l;
        else if (!joined.isEmpty() && l.startsWith("    ") && !l.trimmed().isEmpty() && joined.size() < 26)
            joined.last() += l.trimmed();
    }
    for (const QString& l : joined) {
        const auto m = letterLine.match(l);
        LetterRule r;
        r.letter = m.captured(1).at(0).toLatin1();
        const QString body = m.captured(2);
        const QString main = body.section(QStringLiteral("除了"), 0, 0), rest = body.section(QStringLiteral("除了"), 1);
        QStringList mainQuoted;
        for (auto it = quoted.globalMatch(main); it.hasNext();)
            mainQuoted << it.next().captured(1).split(QStringLiteral("，"));
        if (main.contains(QStringLiteral("只占用")))
            r.exactly = mainQuoted;
        else if (main.contains(QStringLiteral("没有声母")) || main.contains(QStringLiteral("零声母")))
            r.noInitial = true;
        else
            r.prefixes = mainQuoted;
        for (auto it = quoted.globalMatch(rest); it.hasNext();) {
            const QStringList parts = it.next().captured(1).split(QStringLiteral("，"));
            (rest.contains(QStringLiteral("打头")) ? r.exceptPrefixes : r.except) << parts;
        }
        rules.push_back(r);
    }
    return rules;
}

QString gb2312Level1()
{
    QString out;
    for (int hi = 0xB0; hi <= 0xD7; ++hi)
        for (int lo = 0xA1; lo <= 0xFE && !(hi == 0xD7 && lo > 0xF9); ++lo) {
            const char b[2] = {static_cast<char>(hi), static_cast<char>(lo)};
            out += QStringDecoder("GB18030").decode(QByteArrayView(b, 2));
        }
    return out;
}

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void commonLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<bool>("handBroken");
        QTest::newRow("preface") << "PrefacePage" << QString(23, ' ') + "前    言" << 62 << true;
        QTest::newRow("principle") << "PrinciplePage" << QString(22, ' ') + "原  理  篇" << 48 << true;
        QTest::newRow("rules") << "RulesPage" << QString(22, ' ') + "规  则  篇" << 74 << true;
        QTest::newRow("method") << "MethodPage" << QString(22, ' ') + "方  法  篇" << 74 << true;
        QTest::newRow("agreement") << "AgreementPage" << QString(17, ' ') + "最终用户使用许可协议" << -1 << false;
    }
    void commonLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(int, lineCount);
        QFETCH(bool, handBroken);
        const std::string key = name.toStdString();
        const QStringList l = pageLines(key.c_str());
        QVERIFY(gbkWidth(content::text(key)) > 0);
        if (lineCount > 0)
            QCOMPARE(l.size(), lineCount);
        QCOMPARE(l.mid(0, 5), QStringList({"", "", title, "", ""}));
        QVERIFY(!l[5].isEmpty());
        QVERIFY(l.last().isEmpty());  // ends with a line break
        // Double-spaced body: text lines alternate with single empty lines.
        for (qsizetype i = 5; i + 1 < l.size(); i += 2) {
            QVERIFY2(!l[i].trimmed().isEmpty(), qPrintable(QStringLiteral("%1 line %2").arg(name).arg(i + 1)));
            QVERIFY2(l[i + 1].isEmpty(), qPrintable(QStringLiteral("%1 line %2").arg(name).arg(i + 2)));
            if (handBroken)
                QVERIFY2(gbkWidth(l[i]) <= 56, qPrintable(l[i]));
        }
    }

    void agreementSections()
    {
        const QStringList l = pageLines("AgreementPage");
        QStringList headings;
        for (const QString& line : l)
            if (QRegularExpression(QStringLiteral("^[1-9]、")).match(line).hasMatch())
                headings << line;
        QCOMPARE(headings, QStringList({"1、授权。", "2、限制。", "3、终止。", "4、著作权。", "5、不为瑕疵担保。",
                                        "6、就衍生性损害不负赔偿责任。", "7、关于软件载体。", "8、其他规定。", "9、其他软件。"}));
        QVERIFY(q(content::text("AgreementPage")).count(QStringLiteral("晨星学堂")) >= 3);
    }

    void aboutPage()
    {
        const QStringList l = pageLines("AboutPage");
        QCOMPARE(l.size(), 36);
        QVERIFY(l[0].isEmpty());
        QCOMPARE(l[1], QString(15, ' ') + "晨星学堂");
        const QString pad(15, ' ');
        QStringList rows = {pad + "版本" + QString(9, ' ') + "发布时间 ", pad + "1.0" + QString(10, ' ') + "文章发布 "};
        for (const char* r : {"2.0 2001.04.01", "2.5 2001.05.20", "2.7 2001.06.05", "3.0 2001.07.31", "3.1 2001.09.24",
                              "3.2 2001.10.05", "3.3 2001.12.03", "3.4 2002.01.01", "3.5 2002.04.17", "3.6 2002.11.22",
                              "3.7 2002.12.08", "3.8 2003.02.01", "3.9 2003.08.01"})
            rows << pad + QString::fromLatin1(r).replace(' ', QString(9, ' ')) + ' ';
        QStringList got;
        for (const QString& line : l.mid(2, 32))
            if (!line.isEmpty())
                got << line;
        QCOMPARE(got, rows);
        QVERIFY(l.last().startsWith(pad + "软件作者 ：  "));
        QVERIFY(!content::text("AboutPage").ends_with('\r'));
    }

    void helpPage()
    {
        const QStringList l = pageLines("HelpPage");
        QCOMPARE(l.size(), 34);
        QVERIFY(l[0].isEmpty() && l.last().isEmpty());
        const QStringList areas = {"输入区", "浏览区", "显示区", "音标区", "选择区"};
        int found = 0;
        for (const QString& line : l)
            if (line.startsWith(QStringLiteral("(%1) %2 : ").arg(found + 1).arg(areas.value(found))))
                ++found;
        QCOMPARE(found, 5);
        for (const QString& line : l)
            QVERIFY2(gbkWidth(line) <= 56, qPrintable(line));
    }

    void theLetterTableTaught()
    {
        const std::vector<LetterRule> rules = rulesFromPage();
        QCOMPARE(int(rules.size()), 26);
        for (int i = 0; i < 26; ++i)
            QCOMPARE(rules[i].letter, char('A' + i));
        const auto usual = usualReadings(gb2312Level1());
        QVERIFY2(usual.size() > 3000, "the pinyin command is needed");
        QSet<QString> syllables;
        for (const auto& [c, r] : usual)
            syllables.insert(r);
        for (const QString& s : syllables) {
            QString letters;
            for (const LetterRule& r : rules)
                if (r.accepts(s))
                    letters += QLatin1Char(r.letter);
            QCOMPARE(letters, QString(QLatin1Char(letterOf(s))));
        }
    }

    void examplesDecode()
    {
        const QString preface = q(content::text("PrefacePage"));
        QVERIFY(preface.contains(QStringLiteral("疼痛/照常喝酒")) && preface.contains(QStringLiteral("海滩/白鸡找虫欢")));
        const auto usual = usualReadings(QStringLiteral("照常喝酒白鸡找虫欢抱怨在餐厅"));
        QVERIFY(codeProblems("ache", QStringLiteral("照常喝酒"), usual, {}).isEmpty());
        QVERIFY(codeProblems("beach", QStringLiteral("白鸡找虫欢"), usual, {}).isEmpty());
        QVERIFY(codeProblems("by", QStringLiteral("抱怨"), usual, {}).isEmpty());
        QVERIFY(codeProblems("act", QStringLiteral("在餐厅"), usual, {}).isEmpty());
        const QString principle = q(content::text("PrinciplePage"));
        for (const char* row : {"单  词：", "汉字码：", "拼  音："})
            QCOMPARE(principle.count(QString::fromUtf8(row)), 2);
        // Each code character stands in the column of its letter.
        const QStringList l = pageLines("PrinciplePage");
        for (qsizetype i = 0; i + 2 < l.size(); ++i) {
            if (!l[i].contains(QStringLiteral("单  词：")))
                continue;
            const QString letters = l[i], code = l[i + 2];
            for (qsizetype c = letters.indexOf(QStringLiteral("  "), letters.indexOf(QStringLiteral("：")) + 4); c < letters.size(); ++c)
                if (letters[c].unicode() >= 0xFF21 && letters[c].unicode() <= 0xFF3A) {
                    const int column = gbkWidth(letters.left(c));
                    int at = 0;
                    qsizetype k = 0;
                    while (k < code.size() && at < column)
                        at += gbkWidth(code.mid(k++, 1));
                    QVERIFY2(at == column && k < code.size() && code[k].unicode() > 0x4E00, qPrintable(code));
                }
        }
    }

    void quatrainUsesTheScrambledCharacters()
    {
        const QStringList l = pageLines("PrefacePage");
        QString scrambled;
        for (const QString& line : l)
            if (line.trimmed().size() == 22 && !line.trimmed().contains(QStringLiteral("，")))
                scrambled = line.trimmed();
        QVERIFY2(!scrambled.isEmpty(), "a row of 22 scrambled characters");
        QString poem;
        bool inPoem = false;
        for (const QString& line : l) {
            QString t = line.trimmed();
            t.remove(' ').remove(QStringLiteral("　")).remove(QStringLiteral("，")).remove(QStringLiteral("。")).remove(QStringLiteral("《")).remove(QStringLiteral("》"));
            if (t == scrambled)
                inPoem = true;
            else if (inPoem && line.startsWith(QString(12, ' ')) && poem.size() < 22)
                poem += t;  // the poem stands indented: its title, then its lines
        }
        QString a = scrambled, b = poem;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        QCOMPARE(b, a);
    }

    void menuShowsPages()
    {
        TForm1 form(nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto choose = [&](const char* item) { form.PopupMenu2->findChild<QAction*>(item)->trigger(); };
        const std::map<const char*, const char*> pages = {{"N1", "PrefacePage"}, {"N2", "PrinciplePage"}, {"N3", "RulesPage"},
                                                          {"N4", "MethodPage"}, {"N11", "AgreementPage"}, {"N7", "AboutPage"},
                                                          {"N8", "HelpPage"}};
        for (const auto& [item, page] : pages) {
            QTest::keyClicks(form.ComboBox1->lineEdit(), "x");  // the box is left alone
            const QString box = form.ComboBox1->currentText();
            choose(item);
            QCOMPARE(form.Memo2->toPlainText(), QString());
            QCOMPARE(form.Memo1->toPlainText(), content::paneText(content::text(page)));
            QCOMPARE(form.Memo1->verticalScrollBar()->value(), 0);
            QCOMPARE(form.ComboBox1->currentText(), box);
        }
        choose("N4");
        QCoreApplication::processEvents();
        form.Memo1->verticalScrollBar()->setValue(form.Memo1->verticalScrollBar()->maximum());
        const int scrolled = form.Memo1->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        choose("N4");
        QCOMPARE(form.Memo1->verticalScrollBar()->value(), scrolled);
        // A word without an entry leaves the page; a word with one replaces it.
        form.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(form.ComboBox1->lineEdit(), "xyz");
        QCOMPARE(form.Memo1->toPlainText(), content::paneText(content::text("MethodPage")));
        form.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(form.ComboBox1->lineEdit(), "ache");
        QVERIFY(form.Memo1->toPlainText().startsWith(QStringLiteral("\nache  ")));
    }
};

QTEST_MAIN(TestPages)
#include "test_pages.moc"
