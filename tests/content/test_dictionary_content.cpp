// The dictionary as the program compiles it: keys, layouts, codes, transcriptions and sizes.
#include <algorithm>
#include <map>
#include <set>

#include <QRegularExpression>
#include <QtTest>

#include "content/tables.h"
#include "review/cards.h"
#include "tests/support/expected_lists.h"
#include "tests/support/gbk.h"
#include "tests/support/pinyin.h"

using namespace testsupport;

namespace {

QStringList words(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList keys(const content::KeyedTextTable& t)
{
    QStringList out;
    for (const auto& r : t.rows)
        out << q(r.key);
    return out;
}

std::string_view payload(const content::KeyedTextTable& t, std::string_view key, std::size_t i = 0)
{
    for (const auto& r : t.rows)
        if (r.key == key)
            return r.payloads[i];
    return {};
}

const QStringList kCapitalised = {"Africa", "April", "Asia", "Atlantic", "China", "India", "Saturday"};
const QStringList kLabels = {"n.", "adj.", "vt.", "v.", "vi.", "adv.", "pron.", "num.", "prep.", "int."};
const QString kAlphabet = QStringLiteral("5`9:ABCEFIJNQRTVW\\^abdefhijklmnprstuvwz()");

// An entry split into its headword line, sense lines and derived-word blocks.
struct Entry {
    QString headline;
    QStringList derived;
    QStringList problems;
};

Entry parseEntry(std::string_view text)
{
    Entry e;
    const std::vector<std::string_view> ls = lines(text);
    if (ls.size() < 4 || !ls[0].empty()) {
        e.problems << "an entry begins with an empty line, then headword, empty line, senses";
        return e;
    }
    e.headline = q(ls[1]);
    if (ls.back().empty())
        e.problems << "no line break after the last line";
    static const QRegularExpression derivedLine(QStringLiteral("^([A-Za-z-]+) ?（.+）$"));
    for (std::size_t i = 2; i < ls.size(); ++i) {
        const QString l = q(ls[i]);
        if (l.isEmpty())
            continue;
        if (ls[i - 1].empty() == false)
            e.problems << QStringLiteral("line %1 not preceded by an empty line").arg(i + 1);
        const auto m = derivedLine.match(l);
        if (m.hasMatch()) {
            if (!(i >= 3 && ls[i - 2].empty()))
                e.problems << QStringLiteral("derived word %1 not after two empty lines").arg(m.captured(1));
            e.derived << m.captured(1);
            continue;
        }
        const QString label = l.section(QLatin1Char(' '), 0, 0);
        if (!kLabels.contains(label))
            e.problems << QStringLiteral("unknown label in '%1'").arg(l);
    }
    return e;
}

// What is wrong with a transcription: one pronunciation, or two separated by ", ", each over the
// alphabet with one primary stress at most and its optional sounds closed; the short vowel i is
// always written I, so a lower-case i stands only in the long i:.
QString transcriptionProblem(const QString& t)
{
    const QStringList parts = t.split(QStringLiteral(", "));
    if (parts.size() > 2 || (parts.size() == 2 && parts[0] == parts[1]))
        return QStringLiteral("one or two different pronunciations");
    for (const QString& p : parts) {
        if (p.isEmpty() || std::any_of(p.begin(), p.end(), [](QChar c) { return !kAlphabet.contains(c); }))
            return QStringLiteral("outside the alphabet");
        if (p.count(QLatin1Char('5')) + p.count(QLatin1Char('`')) > 1)
            return QStringLiteral("two primary stresses");
        static const QRegularExpression optional(QStringLiteral("^([^()]|\\((r|E)\\))*$")), shortI(QStringLiteral("i(?!:)"));
        if (!optional.match(p).hasMatch())
            return QStringLiteral("only (r) and (E) are optional");
        if (shortI.match(p).hasMatch())
            return QStringLiteral("short i written i");
    }
    return {};
}

} // namespace

class TestDictionaryContent : public QObject {
    Q_OBJECT
private slots:
    void keySets()
    {
        const QStringList list = words(kWordList);
        QCOMPARE(list.size(), 324);
        QCOMPARE(keys(content::WordListTable), list);  // the list's own order

        QStringList entryKeys = list;
        for (const QString& w : kCapitalised)
            entryKeys << w.toLower();
        QStringList got = keys(content::TypedEntryTable);
        QCOMPARE(got.size(), 331);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), 331);
        QCOMPARE(QSet<QString>(got.begin(), got.end()), QSet<QString>(entryKeys.begin(), entryKeys.end()));

        QStringList phonKeys = entryKeys + words(kPhoneticOnly);
        QCOMPARE(words(kPhoneticOnly).size(), 155);
        got = keys(content::TypedPhoneticTable);
        QCOMPARE(got.size(), 486);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), 486);
        QCOMPARE(QSet<QString>(got.begin(), got.end()), QSet<QString>(phonKeys.begin(), phonKeys.end()));
    }

    void listOrderIgnoresCase()
    {
        const QStringList list = keys(content::WordListTable);
        for (qsizetype i = 1; i < list.size(); ++i)
            QVERIFY2(list[i - 1].compare(list[i], Qt::CaseInsensitive) < 0, qPrintable(list[i]));
        QCOMPARE(list.indexOf("Africa"), list.indexOf("afraid") + 1);
        QCOMPARE(list.indexOf("afterwards"), list.indexOf("Africa") + 1);
    }

    void twinsShareOneStoredText()
    {
        for (const QString& w : kCapitalised) {
            const std::string big = w.toStdString(), small = w.toLower().toStdString();
            QCOMPARE(payload(content::TypedEntryTable, small).data(), payload(content::TypedEntryTable, big).data());
            QCOMPARE(payload(content::TypedPhoneticTable, small).data(), payload(content::TypedPhoneticTable, big).data());
        }
        for (const char* w : {"African", "Asian", "Indian"}) {
            const std::string small = QString::fromLatin1(w).toLower().toStdString();
            QCOMPARE(payload(content::TypedPhoneticTable, small).data(), payload(content::TypedPhoneticTable, w).data());
        }
        // The word list shows the very entry that typing shows.
        for (const auto& r : content::WordListTable.rows) {
            QCOMPARE(r.payloads.size(), std::size_t(3));
            QCOMPARE(r.payloads[0], r.key);
            QCOMPARE(r.payloads[2].data(), payload(content::TypedEntryTable, r.key).data());
        }
    }

    void entryLayoutAndDerivedWords()
    {
        std::map<int, int> distribution;
        QSet<QString> derivedAll;
        int blocks = 0, bytes = 0;
        for (const auto& r : content::WordListTable.rows) {
            const Entry e = parseEntry(r.payloads[2]);
            QVERIFY2(e.problems.isEmpty(), qPrintable(q(r.key) + ": " + e.problems.join("; ")));
            QVERIFY2(e.headline.startsWith(q(r.key) + "  "), qPrintable(e.headline));
            QCOMPARE(e.headline.count(QLatin1Char('/')), 1);
            const int size = gbkWidth(r.payloads[2]);
            QVERIFY2(size >= 28 && size <= 480, qPrintable(QStringLiteral("%1: %2 bytes").arg(q(r.key)).arg(size)));
            bytes += size;
            if (!e.derived.isEmpty())
                ++distribution[e.derived.size()];
            blocks += e.derived.size();
            for (const QString& d : e.derived)
                derivedAll.insert(d);
        }
        QCOMPARE(distribution, (std::map<int, int>{{1, 76}, {2, 33}, {3, 7}, {4, 4}, {5, 2}, {7, 1}}));
        QCOMPARE(blocks, 196);
        // Every phonetic-only key but the lower-case twins is a derived word of some entry.
        for (const QString& w : words(kPhoneticOnly))
            if (w != "african" && w != "asian" && w != "indian")
                QVERIFY2(derivedAll.contains(w), qPrintable(w));
        for (const char* w : {"selfish", "fishing", "dancer", "tired"})
            QVERIFY2(derivedAll.contains(w), w);
        // Every recorded word is a list word or a derived word.
        for (const auto& r : content::SoundTable.rows) {
            const QString k = q(r.key);
            QVERIFY2(keys(content::TypedEntryTable).contains(k) || derivedAll.contains(k) || derivedAll.contains(k.left(1).toUpper() + k.mid(1)),
                     qPrintable(k));
        }
        QVERIFY(parseEntry(payload(content::TypedEntryTable, "back")).derived == QStringList({"background", "backward"}));
        const QStringList like = parseEntry(payload(content::TypedEntryTable, "like")).derived;
        for (const char* w : {"alike", "unlike", "unlikely", "dislike"})
            QVERIFY2(like.contains(w), w);
        qInfo("entries: 324 distinct, %d GBK bytes in all", bytes);
    }

    // A note that gives the suffix the sense "person" belongs to a word whose senses are persons:
    // a sense with 机, 器, 物 or 本 (战斗机, 扬声器, 读物, 读本) asks for "表示人或物".
    void affixNotesNameThings()
    {
        static const QRegularExpression note(QStringLiteral("^([A-Za-z-]+) ?（.+）$")), thing(QStringLiteral("[机器物本]"));
        QStringList wrong;
        for (const auto& r : content::WordListTable.rows) {
            QString personWord;
            for (std::string_view l : lines(r.payloads[2])) {
                const QString t = q(l);
                if (const auto m = note.match(t); m.hasMatch())
                    personWord = t.contains(QStringLiteral("表示人）")) ? m.captured(1) : QString();
                else if (!personWord.isEmpty() && thing.match(t).hasMatch())
                    wrong << personWord + ": " + t;
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));
    }

    void quotedRows()
    {
        QCOMPARE(q(payload(content::TypedEntryTable, "ache")), QStringLiteral("\rache  疼痛/照常喝酒\r\rn. 疼痛\r\rvi. 觉得疼痛, 渴望"));
        QCOMPARE(q(payload(content::TypedEntryTable, "subdue")), QStringLiteral("\rsubdue  征服/上校必到新疆\r\rv. 征服"));
        QCOMPARE(q(payload(content::TypedEntryTable, "absolute")),
                 QStringLiteral("\rabsolute  完全的/照搬少奇理想跳级\r\radj. 完全的, 绝对的\r\r\rabsolutely （同上，-ly 副词后缀）\r\radv. 完全地, 绝对地"));
        QVERIFY(q(payload(content::TypedEntryTable, "back")).startsWith(QStringLiteral("\rback  后面/爸在吃苦\r")));
        QVERIFY(q(payload(content::TypedEntryTable, "asia")).startsWith(QStringLiteral("\rAsia  亚洲/战士要战\r")));
        QVERIFY(q(payload(content::TypedEntryTable, "beach")).startsWith(QStringLiteral("\rbeach  海滩/白鸡找虫欢\r")));

        const std::map<std::string_view, std::string_view> typed = {
            {"ache", "ache    /    eIk"}, {"back", "back    /    bAk"}, {"background", "background   /   5bAk^raJnd"},
            {"asia", "asia    /    5eIFE"}, {"Asia", "asia    /    5eIFE"}, {"cheerfully", ""},
            {"what", "what    /     wRt"}};
        for (const auto& [k, v] : typed)
            QCOMPARE(payload(content::TypedPhoneticTable, k), v);
        const std::map<std::string_view, std::string_view> listed = {
            {"ache", "ache   /   eIk"}, {"Africa", "africa   /   5AfrIkE"}, {"internet", "Internet   /   5IntEnet"},
            {"Saturday", "saturday   /   5sAtEdeI, 5sAtEdI"}, {"subdue", "subdue   /   sEb5dju:"}, {"fan", "fan   /   fAn"},
            {"axis", "axis   /   5AksIs"}, {"avoid", "avoid   /   E5vCId"}, {"bitter", "bitter   /   `bItE(r)"},
            {"hard", "hard   /   hB:d"}, {"dawn", "dawn   /   dC:n"}, {"oil", "oil   /   CIl"}, {"fish", "fish   /   fIF"},
            {"chop", "chop   /   tFRp"}, {"kiss", "kiss   /   kIs"}, {"scout", "scout   /   skaJt"}, {"cold", "cold   /   kEJld"},
            {"sing", "sing   /   sIN"}, {"bus", "bus   /   bQs"}, {"father", "father   /   5fB:TE(r)"},
            {"usual", "usual   /   5ju:VJEl"}, {"jail", "jail   /   dVeIl"}, {"width", "width   /   wIdW"}, {"burn", "burn   /   b\\:n"},
            {"game", "game   /   ^eIm"}, {"share", "share   /   FeE(r)"}, {"model", "model   /   5mRd(E)l"}};
        for (const auto& [k, v] : listed)
            QCOMPARE(payload(content::WordListTable, k, 1), v);
        QVERIFY(payload(content::TypedPhoneticTable, "exploitation").ends_with("9eksplRI`teIFEn"));
    }

    void phoneticLines()
    {
        static const QRegularExpression typedForm(QStringLiteral("^([A-Za-z]+)( {3,4})/( {3,5})(\\S+(, \\S+)?)$"));
        int three = 0, four = 0, secondary = 0;
        QStringList twoWays;
        for (const auto& r : content::TypedPhoneticTable.rows) {
            const QString line = q(r.payloads[0]), key = q(r.key);
            if (key == "cheerfully") {
                QVERIFY(line.isEmpty());
                continue;
            }
            const auto m = typedForm.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QVERIFY2(m.captured(1) == (key == "internet" ? QStringLiteral("Internet") : key.toLower()), qPrintable(line));
            QVERIFY2(transcriptionProblem(m.captured(4)).isEmpty(), qPrintable(line + ": " + transcriptionProblem(m.captured(4))));
            if (m.captured(5).size())
                twoWays << key;
            if (m.captured(4).contains('9'))
                ++secondary;
            if (key == "what")
                continue;
            QCOMPARE(m.captured(2), m.captured(3));
            (m.captured(2).size() == 3 ? three : four)++;
        }
        QCOMPARE(three, 222);
        QCOMPARE(four, 262);
        QCOMPARE(secondary, 3);
        // Words whose pronunciation changes with the part of speech give each sense's.
        std::sort(twoWays.begin(), twoWays.end());
        QCOMPARE(twoWays, words("Saturday estimate excess excuse exploit live refuse saturday tear update use"));
        for (const char* k : {"exploitation", "fabrication", "unfair"})
            QVERIFY(payload(content::TypedPhoneticTable, k).find('9') != std::string_view::npos);

        static const QRegularExpression listForm(QStringLiteral("^([A-Za-z]+)   /   (\\S+(, \\S+)?)$"));
        for (const auto& r : content::WordListTable.rows) {
            const QString line = q(r.payloads[1]);
            const auto m = listForm.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QVERIFY2(line.size() >= 13 && line.size() <= 32, qPrintable(line));
            QVERIFY2(!line.contains(", ") || r.key == "Saturday", qPrintable(line));
            QVERIFY2(transcriptionProblem(m.captured(2)).isEmpty(), qPrintable(line));
            // The list shows the typed lookup's pronunciation, or its first sense's.
            const QString typed = q(payload(content::TypedPhoneticTable, r.key)).section(QLatin1Char('/'), 1).trimmed();
            QVERIFY2(typed == m.captured(2) || typed.startsWith(m.captured(2) + ", "), qPrintable(line + " | " + typed));
        }
    }

    void everyTextIsGbk()
    {
        for (const auto* t : {&content::TypedEntryTable, &content::TypedPhoneticTable, &content::WordListTable})
            for (const auto& r : t->rows)
                for (auto p : r.payloads) {
                    QVERIFY(!r.key.empty());
                    QVERIFY2(gbkWidth(p) >= 0, qPrintable(q(r.key)));
                    QVERIFY2(p.find('\n') == std::string_view::npos && p.find('\t') == std::string_view::npos, qPrintable(q(r.key)));
                }
    }

    void codesSpellTheirWords()
    {
        QString all;
        QList<std::pair<QString, QString>> codes;
        static const QRegularExpression head(QStringLiteral("^([A-Za-z]+)  ([^ /]+)/(\\S+)$"));
        for (const auto& r : content::WordListTable.rows) {
            const auto m = head.match(parseEntry(r.payloads[2]).headline);
            QVERIFY2(m.hasMatch(), qPrintable(q(r.key)));
            QVERIFY2(m.captured(2).size() <= 5, qPrintable(q(r.key)));
            codes << std::pair{m.captured(1), m.captured(3)};
            all += m.captured(3);
        }
        const auto usual = usualReadings(all);
        if (usual.empty())
            QFAIL("the pinyin command is needed (golang-github-mozillazg-go-pinyin-dev)");
        const auto seconds = secondReadings();
        int usedSecond = 0;
        QStringList failures;
        for (const auto& [word, code] : codes) {
            const QStringList p = codeProblems(word, code, usual, seconds, &usedSecond);
            if (!p.isEmpty())
                failures << word + " " + code + ": " + p.join("; ");
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
        qInfo("character codes: %d checked, %d characters by a second reading", int(codes.size()), usedSecond);
    }

    // The review cards are the practice sheets' words, each letter with the reading that gives it:
    // the pinyin command's usual reading, or a reviewed second reading whose word stands over it.
    void reviewCardsFollowTheSheets()
    {
        const auto cards = review::allCards();
        QCOMPARE(int(cards.size()), 648);
        QString allCodes;
        for (const auto& c : cards)
            allCodes += q(c.code);
        const auto usual = usualReadings(allCodes);
        QVERIFY2(!usual.empty(), "the pinyin command is needed");
        const auto seconds = secondReadings();
        std::set<std::string_view> recordings;
        for (int u = 0; u < 24; ++u) {
            const auto unit = cards.subspan(27 * u, 27);
            const QString key = q(content::UnitWordSheets.rows[u].key);
            QStringList words, meanings, entries;
            for (const auto& c : unit) {
                QCOMPARE(c.unit, u + 1);
                words << q(c.word);
                // The sheet's meaning; a card that shares it with another adds a hint in brackets.
                QString meaning = q(c.meaning);
                if (meaning.endsWith(QStringLiteral("）")))
                    meaning.truncate(meaning.lastIndexOf(QStringLiteral("（")));
                meanings << meaning;
                entries << meaning + "/" + q(c.code);
                QCOMPARE(q(c.phonetic), q(payload(content::WordListTable, c.word, 1)));
                QVERIFY2(c.recording == payload(content::SoundTable, c.word) || (u >= 12 && c.recording.starts_with("sound/review/")),
                         qPrintable(q(c.word)));
                recordings.insert(c.recording);
                QCOMPARE(c.letters.size(), c.word.size());
                QString spelt;
                for (std::size_t i = 0; i < c.letters.size(); ++i) {
                    const QString ch = q(c.letters[i].character), py = q(c.letters[i].pinyin), code = q(c.code);
                    spelt += ch;
                    QVERIFY2(letterOf(py) == QChar(c.word[i]).toUpper(), qPrintable(q(c.word) + " " + ch + " " + py));
                    const bool second = std::any_of(seconds.begin(), seconds.end(), [&](const SecondReading& s) {
                        for (qsizetype j = code.indexOf(s.word); j >= 0; j = code.indexOf(s.word, j + 1))
                            if (s.character == ch[0] && s.reading == py && j <= qsizetype(i) && qsizetype(i) < j + s.word.size())
                                return true;
                        return false;
                    });
                    QVERIFY2((usual.contains(ch[0]) && usual.at(ch[0]) == py) || second, qPrintable(q(c.word) + " " + ch + " " + py));
                }
                QCOMPARE(spelt, q(c.code));
            }
            const auto tokens = [&](const content::KeyedTextTable& t) {
                QStringList out = q(t.rows[u].payloads[0]).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
                out.removeAll("Unit");
                out.removeAll(key);
                return out;
            };
            QCOMPARE(tokens(content::UnitWordSheets), words + meanings);
            QCOMPARE(tokens(content::UnitCodeSheets), entries);
        }
        QCOMPARE(int(recordings.size()), 648);
    }

    void letterTableOfTheCodeChecker()
    {
        // The decoder itself, on the syllables the rules single out.
        const std::map<QString, char> cases = {{"zhao", 'A'}, {"zhou", 'Z'}, {"zou", 'Z'}, {"ji", 'E'}, {"jue", 'J'},
                                               {"yao", 'I'}, {"yu", 'Y'}, {"qi", 'O'}, {"qiu", 'Q'}, {"xin", 'U'},
                                               {"xue", 'X'}, {"ai", 'V'}, {"e", 'V'}, {"ou", 'V'}, {"chi", 'C'},
                                               {"shang", 'S'}, {"ku", 'K'}, {"lü", 'L'}};
        for (const auto& [syl, letter] : cases)
            QCOMPARE(letterOf(syl), letter);
        QVERIFY(codeProblems("back", QStringLiteral("爸在吃苦"), usualReadings(QStringLiteral("爸在吃苦")), {}).isEmpty());
        QVERIFY(!codeProblems("back", QStringLiteral("爸在吃"), usualReadings(QStringLiteral("爸在吃")), {}).isEmpty());
        // 长 counts as chang only inside the word that carries that reading.
        const std::vector<SecondReading> list = {{QChar(0x957F), "chang", QStringLiteral("长城")}};
        const auto r = usualReadings(QStringLiteral("长城河"));
        QVERIFY(codeProblems("cc", QStringLiteral("长城"), r, list).isEmpty());
        QVERIFY(!codeProblems("ch", QStringLiteral("长河"), r, list).isEmpty());
    }
};

QTEST_MAIN(TestDictionaryContent)
#include "test_dictionary_content.moc"
