// The story content as compiled: stories, translations, contents page, vocabulary units, glossary.
#include <map>

#include <QRegularExpression>
#include <QtTest>

#include "content/tables.h"
#include "tests/support/expected_lists.h"
#include "tests/support/gbk.h"

using namespace testsupport;

namespace {

QString payload(const content::KeyedTextTable& t, const QString& key, std::size_t i = 0)
{
    for (const auto& r : t.rows)
        if (q(r.key) == key)
            return q(r.payloads[i]);
    return {};
}

struct UnitWord {
    QString base;
    QStringList forms;
    QString story;
};

// Reads the unit pages back into their words: story number lines, then word lines.
QList<UnitWord> unitWords(QStringList* problems)
{
    QList<UnitWord> out;
    static const QRegularExpression storyLine(QStringLiteral("^\\d{3}$"));
    static const QRegularExpression word(QStringLiteral("^([A-Za-z’ -]+?)(?:<([^<>]+)>)?$"));
    for (const auto& r : content::VocabularyUnits.rows) {
        QString story;
        const QStringList lines = q(r.payloads[0]).split('\r');
        if (!lines.first().isEmpty() || lines.last().isEmpty())
            *problems << q(r.key) + ": a unit begins with an empty line and ends without a line break";
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QString& l = lines[i];
            if (l.isEmpty()) {
                continue;
            }
            if (i + 1 < lines.size() && !lines[i + 1].isEmpty())
                *problems << q(r.key) + ": no empty line after " + l;
            if (storyLine.match(l).hasMatch()) {
                story = l;
                continue;
            }
            // Cells of 25 columns: a word and its forms, then blanks; a long one pushes the rest right.
            int column = 0;
            for (const QString& cellText : l.split(QRegularExpression(QStringLiteral(" {2,}")), Qt::SkipEmptyParts)) {
                const qsizetype at = l.indexOf(cellText, column == 0 ? 0 : l.indexOf(cellText.left(1), 0));
                Q_UNUSED(at);
                const auto m = word.match(cellText);
                if (!m.hasMatch()) {
                    *problems << "bad unit word " + cellText;
                    continue;
                }
                out << UnitWord{m.captured(1), m.captured(2).isEmpty() ? QStringList() : m.captured(2).split(','), story};
                ++column;
            }
        }
    }
    return out;
}

} // namespace

class TestStoryContent : public QObject {
    Q_OBJECT
private slots:
    void stories()
    {
        QCOMPARE(int(content::Stories.rows.size()), 50);
        std::map<int, int> paragraphs;
        int enTotal = 0, zhTotal = 0;
        for (int n = 1; n <= 50; ++n) {
            const auto& r = content::Stories.rows[n - 1];
            const QString key = QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
            QCOMPARE(q(r.key), key);
            const QStringList en = q(r.payloads[0]).split('\r'), zh = q(r.payloads[1]).split('\r');
            for (const QStringList* t : {&en, &zh}) {
                QVERIFY2(t->first().isEmpty() && t->last().isEmpty(), qPrintable(key));
                QVERIFY2((*t)[1].startsWith("    ") && !(*t)[1].at(4).isSpace(), qPrintable(key));
                for (qsizetype i = 2; i + 1 < t->size(); i += 2) {
                    QVERIFY2((*t)[i].isEmpty(), qPrintable(key));
                    QVERIFY2((*t)[i + 1].startsWith("    ") && !(*t)[i + 1].at(4).isSpace(), qPrintable(key));
                }
                QCOMPARE(t->size() % 2, 1);
            }
            const int enParas = int(en.size() - 3) / 2, zhParas = int(zh.size() - 3) / 2;
            ++paragraphs[enParas];
            const bool pun = key == "020" || key == "024";
            QCOMPARE(zhParas, enParas + (pun ? 1 : 0));
            if (pun)
                QVERIFY(zh[zh.size() - 2].startsWith(QStringLiteral("    注: ")));
            const int enBytes = gbkWidth(r.payloads[0]), zhBytes = gbkWidth(r.payloads[1]);
            QVERIFY2(enBytes >= 109 && enBytes <= 210, qPrintable(QStringLiteral("%1: %2").arg(key).arg(enBytes)));
            QVERIFY2(zhBytes >= 70 && zhBytes <= 158, qPrintable(QStringLiteral("%1: %2").arg(key).arg(zhBytes)));
            enTotal += enBytes;
            zhTotal += zhBytes;
            for (const QString& p : en) {
                QVERIFY2(!p.contains('\''), qPrintable(key + ": ASCII apostrophe"));
                QVERIFY2(gbkWidth(p) <= 153, qPrintable(p));
            }
            for (qsizetype i = 3; i < zh.size(); i += 2)
                if (!zh[i].startsWith(QStringLiteral("    注: ")))
                    QVERIFY2(!zh[i].contains(':'), qPrintable(zh[i]));  // translations use "："
        }
        QCOMPARE(paragraphs, (std::map<int, int>{{1, 1}, {2, 31}, {3, 13}, {4, 5}}));
        QVERIFY(payload(content::Stories, "001").startsWith(QStringLiteral("\r    Animal with Four Legs\r\r    Teacher:")));
        qInfo("stories: English %d bytes, Chinese %d bytes", enTotal, zhTotal);
    }

    void contentsPage()
    {
        QCOMPARE(int(content::ContentsPage.rows.size()), 1);
        QCOMPARE(q(content::ContentsPage.rows[0].key), QStringLiteral("000"));
        QSet<QString> seen[2];
        for (int side = 0; side < 2; ++side) {
            const QStringList l = payload(content::ContentsPage, "000", side).split('\r');
            QCOMPARE(l.size(), 1001);
            QVERIFY(l.first().isEmpty());
            for (int n = 1; n <= 500; ++n) {
                const QString line = l[2 * n - 1];
                const QString prefix = QStringLiteral("     %1 ").arg(n, 3, 10, QLatin1Char('0'));
                QVERIFY2(line.startsWith(prefix) && line.size() > prefix.size(), qPrintable(line));
                QVERIFY2(!seen[side].contains(line.mid(9)), qPrintable(line));
                seen[side].insert(line.mid(9));
                QVERIFY(l[2 * n].isEmpty());
                if (n <= 50) {
                    const QString story = payload(content::Stories, line.mid(5, 3), side);
                    QCOMPARE(story.split('\r').value(1), QStringLiteral("    ") + line.mid(9));
                }
            }
        }
        QVERIFY(gbkWidth(content::ContentsPage.rows[0].payloads[0]) > 0 && gbkWidth(content::ContentsPage.rows[0].payloads[1]) > 0);
    }

    void vocabularyUnits()
    {
        QStringList keys;
        for (const auto& r : content::VocabularyUnits.rows)
            keys << q(r.key);
        QCOMPARE(keys, QStringList({"00", "01", "02", "03", "04"}));
        QStringList problems;
        const QList<UnitWord> words = unitWords(&problems);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QCOMPARE(words.size(), 432);
        std::map<int, int> perUnit;
        std::map<QString, int> perStory;
        int withForms = 0;
        QSet<QString> seen;
        for (const UnitWord& w : words) {
            ++perUnit[(w.story.toInt() - 1) / 10];
            ++perStory[w.story];
            withForms += !w.forms.isEmpty();
            QVERIFY2(!seen.contains(w.base.toLower()), qPrintable(w.base));
            seen.insert(w.base.toLower());
            for (const QString& f : w.forms)
                QVERIFY2(!f.contains(' ') || w.base == "guidepost" || w.base == "housewife", qPrintable(f));
            QVERIFY2(w.forms.size() <= 4, qPrintable(w.base));
            // The word, or one of its forms, stands in its story.
            const QString text = payload(content::Stories, w.story).toLower();
            bool found = false;
            for (const QString& form : QStringList(w.base) + w.forms) {
                const QRegularExpression whole(QStringLiteral("(?<![a-z’])%1(?![a-z])").arg(QRegularExpression::escape(form.toLower())));
                found = found || whole.match(text).hasMatch();
            }
            QVERIFY2(found, qPrintable(w.story + ": " + w.base));
        }
        QCOMPARE(perUnit, (std::map<int, int>{{0, 108}, {1, 97}, {2, 89}, {3, 71}, {4, 67}}));
        QCOMPARE(withForms, 162);
        for (const auto& [story, count] : perStory)
            QVERIFY2(count >= 3 && count <= 15, qPrintable(story));
        QCOMPARE(int(perStory.size()), 50);
        QVERIFY(seen.contains("uh oh"));
        // Every word line keeps its cells at 25-column steps unless a long word pushes them.
        for (const auto& r : content::VocabularyUnits.rows)
            for (const QString& l : q(r.payloads[0]).split('\r'))
                if (l.size() > 3 && l.contains("  ")) {
                    const qsizetype second = l.indexOf(QRegularExpression(QStringLiteral("(?<=  )\\S")));
                    QVERIFY2(gbkWidth(l.left(second)) >= 25, qPrintable(l));
                }
    }

    void glossary()
    {
        const QStringList expected = QString::fromLatin1(kGlossaryKeys).split(' ', Qt::SkipEmptyParts);
        QStringList keys;
        for (const auto& r : content::StoryGlossary.rows)
            keys << q(r.key);
        QCOMPARE(keys, expected);
        const QStringList pairs = {"Mary", "Tasmin", "August", "Tommy", "Jimmy", "Co-worker", "CEO", "Uh", "Susie", "Roy",
                                   "Tom", "Ann", "Johnny", "Cuthbert", "Mum", "John", "Geoffrey", "I", "French", "February"};
        std::map<QString, const char*> data;
        for (const auto& r : content::StoryGlossary.rows)
            data[q(r.key)] = r.payloads[0].data();
        for (const QString& p : pairs)
            QVERIFY2(data[p] == data[p.toLower()], qPrintable(p));
        QSet<const char*> distinct;
        for (const auto& [k, d] : data)
            distinct.insert(d);
        QCOMPARE(distinct.size(), 431);

        const std::map<QString, QString> shownAs = {{"a", "A"}, {"betty", "Betty"}, {"pa", "Pa"}, {"Uh", "Uh oh"}, {"uh", "Uh oh"}};
        const QStringList labels = {"(a) art.", "modal v.", "n.", "adj.", "vt.", "adv.", "vi.", "v.", "pron.", "prep.",
                                    "conj.", "num.", "vbl.", "int.", "art.", "aux.", "abbr."};
        for (const auto& r : content::StoryGlossary.rows) {
            const QString k = q(r.key), e = q(r.payloads[0]);
            const QStringList parts = e.split(QStringLiteral("\r\r"));
            QVERIFY2(e.startsWith('\r') && !e.endsWith('\r'), qPrintable(k));
            QString head = parts[0].mid(1);
            QString want = k;  // a lower-case twin shows its capitalised form
            for (const QString& p : pairs)
                if (p.toLower() == k)
                    want = p;
            if (shownAs.count(k))
                want = shownAs.at(k);
            QCOMPARE(head, want);
            QVERIFY2(parts.size() >= 2 && parts.size() <= 7, qPrintable(k));
            for (const QString& block : parts.mid(1)) {
                QVERIFY2(!block.isEmpty() && !block.contains('\r'), qPrintable(k));
                const bool labelled = std::any_of(labels.begin(), labels.end(), [&](const QString& l) { return block.startsWith(l); });
                QVERIFY2(labelled || !block.at(0).isLetter() || block.at(0).unicode() > 127, qPrintable(k + ": " + block));
            }
            const int size = gbkWidth(r.payloads[0]);
            QVERIFY2(size >= 8 && size <= 274, qPrintable(k));
        }
        QCOMPARE(payload(content::StoryGlossary, "the"), QStringLiteral("\rthe\r\rart.那"));
        QCOMPARE(payload(content::StoryGlossary, "ann"), QStringLiteral("\rAnn\r\r安"));
        QCOMPARE(payload(content::StoryGlossary, "uh"), QStringLiteral("\rUh oh\r\r哎呀"));
        QCOMPARE(payload(content::StoryGlossary, "built"), QStringLiteral("\rbuilt\r\rvbl.build的过去式和过去分词"));
        QCOMPARE(payload(content::StoryGlossary, "have"), QStringLiteral("\rhave\r\rvt. 有, 持有, 拿, 从事(某事)\r\raux. 已经"));
        QStringList roundLabels;
        for (const QString& b : payload(content::StoryGlossary, "round").split(QStringLiteral("\r\r")).mid(1))
            roundLabels << b.section('.', 0, 0) + '.';
        QCOMPARE(roundLabels, QStringList({"n.", "adj.", "prep.", "vt.", "vi.", "adv."}));
    }

    // The words a story's joke rests on: a learner must be able to look each one up, in the glossary
    // or among the unit words and their forms, and each stands in the story.
    void punchlinesCanBeLookedUp()
    {
        static const std::map<QString, QStringList> punchlines = {
            {"001", {"hen", "two", "four", "leg"}},          {"004", {"empty", "even", "button"}},
            {"006", {"not", "see"}},                          {"011", {"company", "bank"}},
            {"012", {"stand", "by", "word"}},                 {"016", {"feces", "shorter", "pay", "word", "everyone", "know"}},
            {"019", {"stove", "coal", "again"}},              {"022", {"rapping", "rap", "making", "lots"}},
            {"024", {"one", "word", "work", "for", "free"}},  {"025", {"jump", "everywhen", "whenever", "ditch", "stop"}},
            {"029", {"leader", "orchestra", "know", "about", "time"}}, {"032", {"need", "face", "mask"}},
            {"034", {"stove", "February", "month", "only"}},  {"047", {"half", "latter", "neither", "French"}}};
        QStringList problems;
        QSet<QString> known;
        for (const UnitWord& w : unitWords(&problems))
            for (const QString& f : QStringList(w.base) + w.forms)
                known.insert(f.toLower());
        for (const auto& r : content::StoryGlossary.rows)
            known.insert(q(r.key).toLower());
        QStringList missing;
        for (const auto& [story, words] : punchlines)
            for (const QString& w : words)
                if (!known.contains(w.toLower()) || !payload(content::Stories, story).contains(w, Qt::CaseInsensitive))
                    missing << story + ": " + w;
        QVERIFY2(missing.isEmpty(), qPrintable("punchline words a learner cannot look up: " + missing.join(", ")));
    }

    void translationsWriteNamesAsTheGlossary()
    {
        // Personal names glossed "塔斯敏(女子名)", and Ann's bare "安", as the headword shows them.
        static const QRegularExpression marked(QStringLiteral("(\\p{Han}+)\\((?:男|女)子名\\)"));
        std::map<QString, QString> names;
        for (const auto& r : content::StoryGlossary.rows) {
            const QString e = q(r.payloads[0]);
            if (const auto m = marked.match(e); m.hasMatch())
                names[e.section('\r', 1, 1).left(1).toUpper() + e.section('\r', 1, 1).mid(1)] = m.captured(1);
        }
        names["Ann"] = payload(content::StoryGlossary, "Ann").section('\r', 3);
        QCOMPARE(int(names.size()), 16);
        int uses = 0;
        for (const auto& r : content::Stories.rows) {
            const QStringList en = q(r.payloads[0]).split('\r'), zh = q(r.payloads[1]).split('\r');
            for (const auto& [name, chinese] : names) {
                if (!QRegularExpression(QStringLiteral("\\b%1\\b").arg(name)).match(en.join(' ')).hasMatch())
                    continue;
                ++uses;
                QVERIFY2(zh.join(' ').contains(chinese), qPrintable(q(r.key) + ": " + name + " is not " + chinese));
                for (qsizetype i = 1; i < en.size(); ++i)  // a speaker keeps the name in the translation's line
                    if (en[i].startsWith("    " + name + ":"))
                        QVERIFY2(zh.value(i).startsWith("    " + chinese + QStringLiteral("：")), qPrintable(zh.value(i)));
            }
        }
        QVERIFY(uses >= 30);
    }

    void glossaryCoversTheUnits()
    {
        QStringList problems;
        const QList<UnitWord> words = unitWords(&problems);
        QSet<QString> covered;
        for (const UnitWord& w : words) {
            covered.insert(w.base.toLower());
            for (const QString& f : w.forms)
                covered.insert(f.toLower());
        }
        covered.insert("uh");  // "Uh oh" is glossed under "Uh"
        QStringList missing;
        for (const auto& r : content::StoryGlossary.rows)
            if (!covered.contains(q(r.key).toLower()))
                missing << q(r.key);
        QVERIFY2(missing.isEmpty(), qPrintable("glossary keys no unit lists: " + missing.join(", ")));
        QSet<QString> glossed;
        for (const auto& r : content::StoryGlossary.rows)
            glossed.insert(q(r.key).toLower());
        QStringList unglossed;
        for (const UnitWord& w : words)
            if (!glossed.contains(w.base.toLower()) && w.base != "Uh oh")
                unglossed << w.base;
        QVERIFY2(unglossed.size() <= 1, qPrintable("unit words without a gloss: " + unglossed.join(", ")));
    }
};

QTEST_MAIN(TestStoryContent)
#include "test_story_content.moc"
