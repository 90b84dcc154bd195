#include "review/export.h"

#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace review::exporting {

namespace {
QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Anki reads the file as CSV: a field with a quote, tab or line break goes in quotes.
QString field(QString s)
{
    if (!s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\t')) && !s.contains(QLatin1Char('\n')) &&
        !s.contains(QLatin1Char('\r')))
        return s;
    return QLatin1Char('"') + s.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString soundName(std::string_view word)
{
    QString name = QStringLiteral("chenxing-");
    for (const QChar c : fromView(word))
        name += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    return name + QStringLiteral(".wav");
}

Result failed(const QString& path, const QString& why)
{
    return {false, QStringLiteral("无法导出到 %1：%2。没有写入任何文件。").arg(QDir::toNativeSeparators(path), why), 0, 0};
}

Result commit(QSaveFile& file, const QByteArray& data, Result done)
{
    if (file.write(data) != data.size() || !file.commit())
        return failed(file.fileName(), file.errorString());
    done.ok = true;
    return done;
}
} // namespace

QString ipaOf(std::string_view phonetic)
{
    static const std::map<char, QString> table = {
        {'5', QStringLiteral("ˈ")}, {'`', QStringLiteral("ˈ")}, {'9', QStringLiteral("ˌ")}, {':', QStringLiteral("ː")},
        {'A', QStringLiteral("æ")}, {'B', QStringLiteral("ɑ")}, {'C', QStringLiteral("ɔ")}, {'E', QStringLiteral("ə")},
        {'F', QStringLiteral("ʃ")}, {'I', QStringLiteral("ɪ")}, {'J', QStringLiteral("ʊ")}, {'N', QStringLiteral("ŋ")},
        {'Q', QStringLiteral("ʌ")}, {'R', QStringLiteral("ɒ")}, {'T', QStringLiteral("ð")}, {'V', QStringLiteral("ʒ")},
        {'W', QStringLiteral("θ")}, {'\\', QStringLiteral("ɜ")}, {'^', QStringLiteral("ɡ")},
    };
    const auto slash = phonetic.find('/');
    std::string_view t = slash == std::string_view::npos ? phonetic : phonetic.substr(slash + 1);
    QString out;
    for (const char c : t) {
        const auto it = table.find(c);
        out += it != table.end() ? it->second : QString(QLatin1Char(c));
    }
    return out.trimmed();
}

Result writeNotes(const QString& path, std::span<const Card> cards,
                  const std::function<QString(std::string_view)>& soundFile)
{
    QSaveFile file(path);
    // Opened first: a place that cannot be written gets no recordings either.
    if (!file.open(QIODevice::WriteOnly))
        return failed(path, file.errorString());
    const QDir beside = QFileInfo(path).absoluteDir();
    Result done;
    QString text = QStringLiteral("#separator:tab\n#html:false\n#columns:单词\t释义\t汉字码\t音标\t标签\t录音\n#tags column:5\n");
    for (const Card& c : cards) {
        QString sound;
        const QString source = soundFile ? soundFile(c.recording) : QString();
        if (!c.recording.empty() && QFileInfo::exists(source)) {
            const QString name = soundName(c.word);
            const QString target = beside.filePath(name);
            QFile::remove(target);
            if (QFile::copy(source, target)) {
                sound = QStringLiteral("[sound:%1]").arg(name);
                ++done.sounds;
            }
        }
        text += QStringList{field(fromView(c.word)), field(fromView(c.meaning)), field(fromView(c.code)),
                            field(c.phonetic.empty() ? QString() : ipaOf(c.phonetic)),
                            QStringLiteral("chenxing::unit%1").arg(c.unit, 3, 10, QLatin1Char('0')), sound}
                    .join(QLatin1Char('\t'))
              + QLatin1Char('\n');
        ++done.rows;
    }
    done.message = QStringLiteral("已导出 %1 张卡片和 %2 个录音到 %3。").arg(done.rows).arg(done.sounds).arg(QDir::toNativeSeparators(path));
    return commit(file, text.toUtf8(), done);
}

Result writeLog(const QString& path, ProgressStore& store, std::span<const Card> cards)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(path, file.errorString());
    std::map<std::string_view, int> id;
    for (size_t i = 0; i < cards.size(); ++i)
        id.emplace(cards[i].word, static_cast<int>(i));
    struct History {
        int answers = 0;
        bool lapsed = false;  // the previous answer was Again on a card already answered before
    };
    std::map<std::string, History> history;
    QByteArray text = "card_id,review_time,review_rating,review_state,review_duration\n";
    Result done;
    for (const auto& r : store.reviewLog(0)) {
        const auto it = id.find(r.word);
        if (it == id.end() || r.grade < 1 || r.grade > 4)
            continue;  // a word or grade this program does not have
        History& h = history[r.word];
        const int state = h.answers == 0 ? 0 : h.lapsed ? 3 : 2;
        text += QByteArray::number(it->second) + ',' + QByteArray::number(qint64(r.timeMs)) + ',' +
                QByteArray::number(r.grade) + ',' + QByteArray::number(state) + ',' +
                QByteArray::number(qint64(std::max<std::int64_t>(0, r.answerMs))) + '\n';
        h.lapsed = r.grade == 1 && h.answers > 0;
        ++h.answers;
        ++done.rows;
    }
    done.message = QStringLiteral("已导出 %1 条复习记录到 %2。").arg(done.rows).arg(QDir::toNativeSeparators(path));
    return commit(file, text, done);
}

} // namespace review::exporting
