#include "review/answer.h"

#include <algorithm>

#include <QStringList>

namespace review {

namespace {
QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void attachCode(LetterMark& mark, const Card& card)
{
    if (mark.index >= 0 && mark.index < static_cast<int>(card.letters.size())) {
        mark.character = fromView(card.letters[mark.index].character);
        mark.pinyin = fromView(card.letters[mark.index].pinyin).toUpper();
    }
}
} // namespace

QString sharedMeaning(const Card& card)
{
    return fromView(card.meaning).section(QStringLiteral("（"), 0, 0);
}

const Card* otherCardOfMeaning(const Card& card, const QString& typed, std::span<const Card> cards)
{
    const QString word = typed.trimmed();
    for (const Card& other : cards)
        if (&other != &card && fromView(other.word).compare(word, Qt::CaseInsensitive) == 0 && sharedMeaning(other) == sharedMeaning(card))
            return &other;
    return nullptr;
}

AnswerCheck checkAnswer(const Card& card, const QString& typedText)
{
    AnswerCheck result;
    const QString word = fromView(card.word);
    const QString typed = typedText.trimmed();
    if (word.compare(typed, Qt::CaseInsensitive) == 0) {
        result.right = true;
        return result;
    }
    const qsizetype n = word.size(), m = typed.size();
    const auto same = [&](qsizetype i, qsizetype j) { return word[i].toCaseFolded() == typed[j].toCaseFolded(); };
    // d[i][j]: edits between the word's first i letters and the typed text's first j.
    std::vector<int> d((n + 1) * (m + 1));
    const auto at = [&](qsizetype i, qsizetype j) -> int& { return d[i * (m + 1) + j]; };
    for (qsizetype i = 0; i <= n; ++i)
        at(i, 0) = static_cast<int>(i);
    for (qsizetype j = 0; j <= m; ++j)
        at(0, j) = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i)
        for (qsizetype j = 1; j <= m; ++j)
            at(i, j) = std::min({at(i - 1, j - 1) + (same(i - 1, j - 1) ? 0 : 1), at(i - 1, j) + 1, at(i, j - 1) + 1});

    // Back from the end, a pairing before a gap: the gap then falls on the earlier letter.
    qsizetype i = n, j = m;
    while (i > 0 || j > 0) {
        LetterMark mark;
        if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + (same(i - 1, j - 1) ? 0 : 1)) {
            --i, --j;
            mark.index = static_cast<int>(i);
            mark.letter = word[i];
            if (!same(i, j)) {
                mark.state = LetterMark::State::Wrong;
                mark.typed = typed[j];
            }
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            --i;
            mark.state = LetterMark::State::Missing;
            mark.index = static_cast<int>(i);
            mark.letter = word[i];
        } else {
            --j;
            mark.state = LetterMark::State::Extra;
            mark.letter = typed[j];
        }
        attachCode(mark, card);
        result.marks.push_back(mark);
    }
    std::reverse(result.marks.begin(), result.marks.end());
    return result;
}

QStringList describe(const AnswerCheck& check)
{
    QStringList lines;
    for (const LetterMark& mark : check.marks) {
        const QString code = mark.character.isEmpty() ? QString()
                                                      : QStringLiteral("：%1 %2").arg(mark.character, mark.pinyin);
        switch (mark.state) {
        case LetterMark::State::Right:
            break;
        case LetterMark::State::Missing:
            lines << QStringLiteral("缺 %1%2").arg(QString(mark.letter), code);
            break;
        case LetterMark::State::Wrong:
            lines << QStringLiteral("错 %1（写成 %2）%3").arg(QString(mark.letter), QString(mark.typed), code);
            break;
        case LetterMark::State::Extra:
            lines << QStringLiteral("多 %1").arg(QString(mark.letter));
            break;
        }
    }
    return lines;
}

} // namespace review
