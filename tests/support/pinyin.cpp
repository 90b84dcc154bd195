#include "tests/support/pinyin.h"

#include <QFile>
#include <QProcess>
#include <QSet>

namespace testsupport {

char letterOf(const QString& syllable)
{
    const QString s = QString(syllable).replace(QStringLiteral("ü"), QStringLiteral("v"));
    if (s.isEmpty())
        return '?';
    if (s.startsWith(QLatin1Char('z')))
        return (s == QLatin1String("zhou") || s == QLatin1String("zou")) ? 'Z' : 'A';
    if (s.startsWith(QLatin1Char('j')))
        return s.startsWith(QLatin1String("ju")) ? 'J' : 'E';
    if (s.startsWith(QLatin1Char('y')))
        return s.startsWith(QLatin1String("yu")) ? 'Y' : 'I';
    if (s.startsWith(QLatin1Char('q')))
        return s == QLatin1String("qiu") ? 'Q' : 'O';
    if (s.startsWith(QLatin1Char('x')))
        return s.startsWith(QLatin1String("xu")) ? 'X' : 'U';
    const char first = s.at(0).toLatin1();
    if (first == 'a' || first == 'e' || first == 'o')
        return 'V';
    return static_cast<char>(first - 'a' + 'A');
}

std::map<QChar, QString> usualReadings(const QString& text)
{
    QList<QChar> chars;
    QSet<QChar> seen;
    for (const QChar c : text)
        if (c.unicode() > 127 && !seen.contains(c)) {
            seen.insert(c);
            chars << c;
        }
    std::map<QChar, QString> out;
    for (qsizetype start = 0; start < chars.size(); start += 400) {
        QString chunk;
        for (qsizetype i = start; i < std::min(chars.size(), start + 400); ++i)
            chunk += chars[i];
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());  // it reads standard input when not a terminal
        p.start(QStringLiteral("pinyin"), {QStringLiteral("-s"), QStringLiteral("zhao"), chunk});
        if (!p.waitForFinished(30000))
            return {};
        const QStringList got = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < chunk.size() && i < got.size(); ++i)
            out[chunk[i]] = got[i].trimmed().section(QLatin1Char(','), 0, 0);
    }
    return out;
}

std::vector<SecondReading> secondReadings()
{
    std::vector<SecondReading> out;
    QFile f(QStringLiteral(CHENXING_SOURCE_DIR "/content/data/readings.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).section(QLatin1Char('#'), 0, 0).trimmed();
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() == 3 && parts[0].size() == 1 && parts[2].contains(parts[0]))
            out.push_back({parts[0][0], parts[1], parts[2]});
    }
    return out;
}

QStringList codeProblems(const QString& word, const QString& code, const std::map<QChar, QString>& usual,
                         const std::vector<SecondReading>& seconds, int* usedSecond)
{
    QStringList problems;
    if (code.size() != word.size())
        problems << QStringLiteral("%1 characters for %2 letters").arg(code.size()).arg(word.size());
    for (qsizetype i = 0; i < std::min(code.size(), word.size()); ++i) {
        const QChar ch = code[i];
        const char want = word[i].toUpper().toLatin1();
        const auto it = usual.find(ch);
        const QString reading = it == usual.end() ? QString() : it->second;
        if (letterOf(reading) == want)
            continue;
        bool ok = false;
        for (const SecondReading& s : seconds) {
            if (s.character != ch || letterOf(s.reading) != want)
                continue;
            for (qsizetype j = code.indexOf(s.word); j >= 0; j = code.indexOf(s.word, j + 1))
                if (j <= i && i < j + s.word.size())
                    ok = true;
        }
        if (ok) {
            if (usedSecond)
                ++*usedSecond;
            continue;
        }
        problems << QStringLiteral("%1 reads %2, which gives %3, not %4")
                        .arg(ch)
                        .arg(reading.isEmpty() ? QStringLiteral("?") : reading)
                        .arg(QLatin1Char(letterOf(reading)))
                        .arg(QLatin1Char(want));
    }
    return problems;
}

} // namespace testsupport
