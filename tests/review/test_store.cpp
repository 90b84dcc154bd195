// The progress store under the faults a learner's machine brings: a killed program, a folder it
// cannot write, a file that is not its own or is damaged or newer, two copies at once.
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "review/store.h"

using review::ProgressStore;
using Result = ProgressStore::OpenResult;

namespace {

// The stored repetitions plus one, logged at time n: a lost or stale answer shows in the counts.
bool answer(ProgressStore& store, const std::string& word, qint64 n)
{
    return store.recordAnswer(word, [n](review::CardProgress c) {
        ++c.reps;
        review::ReviewLogEntry log;
        log.timeMs = n;
        return std::pair{c, log};
    });
}

// Runs the statements on a connection of the test's own; the last one's first value, or its error.
QVariant sql(const QString& path, const QStringList& statements)
{
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        for (const QString& s : statements)
            result = !q.exec(s) ? q.lastError().text() : q.next() ? q.value(0) : QVariant();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return result;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& data, qint64 at = 0)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(at) && f.write(data) == data.size());
}

// Our own file with some history, closed.
void ours(const QString& path)
{
    ProgressStore store;
    QCOMPARE(store.open(path), Result::Ok);
    for (int n = 0; n < 300; ++n)
        QVERIFY(answer(store, "w" + std::to_string(n % 40), n));
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void killedMidSession()
    {
        const QString path = dir.filePath(QStringLiteral("killed.sqlite"));
        QProcess writer;
        writer.start(QStringLiteral(STORE_WRITER), {path});
        QByteArray out;
        while (out.count('\n') < 40 && writer.waitForReadyRead(10000))
            out += writer.readAllStandardOutput();
        writer.kill();  // SIGKILL
        QVERIFY(writer.waitForFinished());
        out += writer.readAllStandardOutput();
        const QList<QByteArray> lines = out.left(out.lastIndexOf('\n')).split('\n');
        QVERIFY2(lines.size() >= 40, out + writer.readAllStandardError());
        const qint64 last = lines.last().toLongLong();

        QCOMPARE(sql(path, {QStringLiteral("PRAGMA integrity_check")}).toString(), QStringLiteral("ok"));
        // Every answer reported stands, and every one taken back is gone, card and log row.
        const auto reported = QStringLiteral("SELECT count(DISTINCT time_ms) FROM review_log WHERE time_ms BETWEEN 1 AND %1");
        QCOMPARE(sql(path, {reported.arg(last)}).toLongLong(), last - last / 3);
        // Card row and log row are one transaction: never one without the other.
        QCOMPARE(sql(path, {QStringLiteral("SELECT sum(reps) - (SELECT count(*) FROM review_log) FROM cards")}).toInt(), 0);
        // A card's learning step is written with its answer.
        QCOMPARE(sql(path, {QStringLiteral("SELECT count(*) FROM cards c WHERE state != 1 OR due_ms !="
                                           " (SELECT max(time_ms) FROM review_log l WHERE l.word = c.word)")}).toInt(), 0);
    }

    // A file of the version before learning steps is upgraded on open, in one transaction, after a
    // backup copy of it; every card and answer stays.
    void upgradesVersion1()
    {
        const QString folder = dir.filePath(QStringLiteral("v1")), path = folder + QStringLiteral("/progress.sqlite");
        QDir().mkpath(folder);
        sql(path, {"PRAGMA application_id = 1129861718", "PRAGMA user_version = 1",
                   "CREATE TABLE cards (word TEXT PRIMARY KEY, stability REAL NOT NULL, difficulty REAL NOT NULL,"
                   " last_review_day INTEGER NOT NULL, due_day INTEGER NOT NULL, first_review_day INTEGER NOT NULL,"
                   " reps INTEGER NOT NULL, lapses INTEGER NOT NULL) WITHOUT ROWID",
                   "CREATE TABLE review_log (id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, word TEXT NOT NULL,"
                   " mode INTEGER NOT NULL, grade INTEGER NOT NULL, answer_ms INTEGER NOT NULL,"
                   " interval_days INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL)",
                   "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID",
                   "INSERT INTO cards VALUES ('back', 3.5, 5, 100, 103, 100, 1, 0)",
                   "INSERT INTO review_log VALUES (1, 5, 'back', 0, 3, 1000, 3, 3.5, 5)"});
        ProgressStore store;
        QVERIFY2(store.open(path) == Result::Ok, qPrintable(store.message()));
        QCOMPARE(sql(path, {"PRAGMA user_version"}).toInt(), 2);
        const auto cards = store.loadProgress();
        QCOMPARE(cards.size(), std::size_t(1));
        QCOMPARE(cards[0].state, 2);  // answered before: in review
        QCOMPARE(cards[0].reps, 1);
        QVERIFY(answer(store, "back", 6));
        QCOMPARE(store.logCount(), 2);
        const QDir backups(folder + QStringLiteral("/backups"));
        const QStringList copies = backups.entryList({QStringLiteral("progress-v1-*.sqlite")});
        QCOMPARE(copies.size(), 1);
        QCOMPARE(sql(backups.filePath(copies[0]), {"SELECT count(*) FROM review_log"}).toInt(), 1);
    }

    void folderCannotBeMade()
    {
        // Under a regular file no folder can be made, not even by root.
        const QString plain = dir.filePath(QStringLiteral("plain")), folder = plain + QStringLiteral("/sub");
        write(plain, "a file");
        ProgressStore store;
        QCOMPARE(store.open(folder + QStringLiteral("/progress.sqlite")), Result::NotWritable);
        QVERIFY2(store.message().contains(folder), qPrintable(store.message()));
        QVERIFY(!answer(store, "back", 1) && !QFileInfo::exists(folder));
        QCOMPARE(bytes(plain), QByteArray("a file"));
    }

    void fileNotOpenedForWriting()
    {
        const struct {
            const char* name;
            void (*make)(const QString& path);
            Result expected;
        } cases[] = {
            {"text", [](const QString& p) { write(p, "word,grade\nback,3\n"); }, Result::NotOurs},
            {"other program's database", [](const QString& p) { sql(p, {"CREATE TABLE notes (body TEXT)", "INSERT INTO notes VALUES ('x')"}); },
             Result::NotOurs},
            {"ours with a page overwritten", [](const QString& p) { ours(p), write(p, QByteArray(4096, '\xa5'), 4096); }, Result::Damaged},
            {"ours from a newer version", [](const QString& p) { ours(p), sql(p, {"PRAGMA user_version = 3"}); }, Result::Newer},
        };
        for (const auto& c : cases) {
            const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".sqlite"));
            c.make(path);
            const QByteArray before = bytes(path);
            ProgressStore store;
            QCOMPARE(store.open(path), c.expected);
            QVERIFY2(store.message().contains(path), qPrintable(store.message()));
            QVERIFY(!answer(store, "back", 1));
            QCOMPARE(bytes(path), before);
            // A reader of a WAL file leaves an empty -wal beside it, never a frame or a journal.
            QVERIFY2(QFileInfo(path + "-wal").size() == 0 && !QFileInfo::exists(path + "-journal"), c.name);

            QString first, second;
            QCOMPARE(store.moveAside(&first), c.expected != Result::Newer);
            if (c.expected == Result::Newer)
                continue;
            QVERIFY(QFileInfo(first).fileName().startsWith(QFileInfo(path).fileName() + ".bad-"));
            // The same file again within the second: a second name, the first kept.
            write(path, before);
            QCOMPARE(store.open(path), c.expected);
            QVERIFY(store.moveAside(&second) && second != first);
            QCOMPARE(bytes(first), before);
            QCOMPARE(bytes(second), before);
            QCOMPARE(store.open(path), Result::Ok);
            QCOMPARE(store.logCount(), 0);
        }
    }

    // A sound file that cannot be written is read, never written: as another user sees a file of
    // root's (root itself writes anywhere), or under chmod.
    void readOnly()
    {
        const QString folder = dir.filePath(QStringLiteral("ro"));
        QDir().mkpath(folder);
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(dir.path(), open);
        const QString path = folder + QStringLiteral("/progress.sqlite");
        ours(path);
        QVERIFY(sql(path, {"INSERT INTO settings VALUES ('k', 'v')"}).isNull());
        const QByteArray before = bytes(path);
        // The read-only folder first, while nothing but the file is in it.
        for (const bool folderToo : {true, false}) {
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther |
                                              (folderToo ? QFile::Permissions() : QFile::WriteOther | QFile::WriteOwner));
            QProcess reader;
            const QStringList args = {QStringLiteral("--read"), path};
            if (geteuid() == 0) {
                // Another user may not reach the build folder (under /root, say): the reader runs
                // from a copy beside the file, on the system's libraries only.
                const QString copy = dir.filePath(QStringLiteral("store_writer"));
                if (!QFileInfo::exists(copy))
                    QVERIFY(QFile::copy(QStringLiteral(STORE_WRITER), copy));
                QFile::setPermissions(copy, open);
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.remove(QStringLiteral("LD_LIBRARY_PATH"));
                reader.setProcessEnvironment(env);
                reader.start(QStringLiteral("setpriv"), QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", copy} + args);
            } else {
                reader.start(QStringLiteral(STORE_WRITER), args);
            }
            QVERIFY(reader.waitForFinished(20000));
            // ReadOnly, 300 answers, 40 cards, the setting, no answer saved.
            QCOMPARE(reader.readAllStandardOutput().trimmed() + reader.readAllStandardError(), QByteArray("5 300 40 v 0"));
            QCOMPARE(bytes(path), before);
            QCOMPARE(QFileInfo(path + "-wal").size(), 0);  // at most the empty one a reader leaves
            QVERIFY(!folderToo || QDir(folder).entryList(QDir::Files) == QStringList{QStringLiteral("progress.sqlite")});
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // One consistent copy a learning day, the last fourteen kept; a damaged file is restored from
    // the newest sound one with every answer it holds.
    void dailyBackups()
    {
        const QString path = dir.filePath(QStringLiteral("backed/progress.sqlite"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QDir backups(QFileInfo(path).absolutePath() + QStringLiteral("/backups"));
        ProgressStore store;
        QCOMPARE(store.open(path), Result::Ok);
        const qint64 day0 = 20000;
        for (int day = 0; day < 16; ++day) {
            for (int n = 0; n < 5; ++n)
                QVERIFY(answer(store, "w" + std::to_string(n), day * 10 + n));
            QVERIFY(store.backUp(day0 + day));
            QVERIFY(answer(store, "later", day * 10 + 9));
            QVERIFY(store.backUp(day0 + day));  // the day's copy is made once
        }
        const QStringList kept = backups.entryList({QStringLiteral("progress-*.sqlite")}, QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), ProgressStore::kBackupsKept);
        QCOMPARE(kept.last(), QStringLiteral("progress-%1.sqlite").arg(QDate(1970, 1, 1).addDays(day0 + 15).toString("yyyyMMdd")));
        const qint64 all = store.logCount();
        store.open(QString());

        write(path, QByteArray(4096, '\xa5'), 4096);
        // The newest copy damaged too: the one before it is offered.
        write(backups.filePath(kept.last()), QByteArray(4096, '\xa5'), 0);
        QCOMPARE(store.open(path), Result::Damaged);
        const auto backup = ProgressStore::latestSoundBackup(path);
        QVERIFY(backup);
        QCOMPARE(backup->learningDay, day0 + 14);
        QCOMPARE(backup->answers, all - 6 - 6 + 5);  // up to day 14's five answers
        QString moved;
        QVERIFY(store.restore(*backup, &moved));
        QVERIFY2(store.message().contains(moved), qPrintable(store.message()));
        QCOMPARE(store.open(path), Result::Ok);
        QCOMPARE(store.logCount(), backup->answers);
        QVERIFY(QFileInfo::exists(moved));
    }

    void twoCopiesAtOnce()
    {
        const QString path = dir.filePath(QStringLiteral("shared.sqlite"));
        ProgressStore a, b;
        QVERIFY(a.open(path) == Result::Ok && b.open(path) == Result::Ok);
        const std::string words[] = {"back", "ache", "Africa"};
        for (int n = 0; n < 60; ++n)
            QVERIFY(answer(n % 2 ? a : b, words[n % 3], n));
        QCOMPARE(a.logCount(), 60);
        // Each copy counted on from what the other had committed.
        const auto cards = b.loadProgress();
        QCOMPARE(cards.size(), std::size_t(3));
        for (const auto& card : cards)
            QCOMPARE(card.reps, 20);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
