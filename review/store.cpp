#include "review/store.h"

#include <atomic>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>
#include <QtEndian>

namespace review {

namespace {

// "CXRV" in the file header marks our files; user_version is the schema version.
constexpr quint32 kApplicationId = 0x43585256;
constexpr int kSchemaVersion = 2;
// Version 1 had no learning steps; it is upgraded on open, after a backup copy.
constexpr int kOldestVersion = 1;
// Long enough for the other copy of the program to finish its answer, short enough not to hang.
const QString kBusyTimeout = QStringLiteral("QSQLITE_BUSY_TIMEOUT=4000");
const QStringList kSidecars = {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};
const QString kBackupFolder = QStringLiteral("backups");

QDate dateOfDay(std::int64_t learningDay)
{
    return QDate(1970, 1, 1).addDays(learningDay);
}

const char* const kSchema[] = {
    "CREATE TABLE cards (word TEXT PRIMARY KEY, stability REAL NOT NULL, difficulty REAL NOT NULL,"
    " last_review_day INTEGER NOT NULL, due_day INTEGER NOT NULL, first_review_day INTEGER NOT NULL,"
    " reps INTEGER NOT NULL, lapses INTEGER NOT NULL, state INTEGER NOT NULL DEFAULT 0,"
    " step INTEGER NOT NULL DEFAULT 0, due_ms INTEGER NOT NULL DEFAULT 0, flags INTEGER NOT NULL DEFAULT 0, fails INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID",
    "CREATE TABLE review_log (id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, word TEXT NOT NULL,"
    " mode INTEGER NOT NULL, grade INTEGER NOT NULL, answer_ms INTEGER NOT NULL,"
    " interval_days INTEGER NOT NULL, stability REAL NOT NULL, difficulty REAL NOT NULL,"
    " state INTEGER NOT NULL DEFAULT -1)",
    "CREATE INDEX review_log_word_time ON review_log (word, time_ms)",
    "CREATE INDEX review_log_time ON review_log (time_ms)",
    "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID",
};

// From version 1: a card's learning step and the minute it comes back, its flags (shown, known,
// suspended, leech) and Again answers; the state each answer found its card in (-1: not known).
const char* const kUpgradeFrom1[] = {
    "ALTER TABLE cards ADD COLUMN state INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE cards ADD COLUMN step INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE cards ADD COLUMN due_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE cards ADD COLUMN flags INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE cards ADD COLUMN fails INTEGER NOT NULL DEFAULT 0",
    "UPDATE cards SET fails = (SELECT count(*) FROM review_log l WHERE l.word = cards.word AND l.grade = 1)",
    "UPDATE cards SET state = 2 WHERE stability > 0",
    "ALTER TABLE review_log ADD COLUMN state INTEGER NOT NULL DEFAULT -1",
    "PRAGMA user_version = 2",
};

QString uniqueConnectionName()
{
    static std::atomic<int> next{0};
    return QStringLiteral("review-store-%1").arg(next++);
}

bool isCorruption(const QSqlError& e)
{
    // Qt asks for extended result codes; the low byte is the primary one. A hot journal that a
    // reader may not roll back (SQLITE_READONLY_ROLLBACK) is a file left half-written.
    const int code = e.nativeErrorCode().toInt();
    return (code & 0xff) == 11 /* SQLITE_CORRUPT */ || (code & 0xff) == 26 /* SQLITE_NOTADB */ || code == 776;
}

// A QSQLITE connection that is closed and removed with its scope.
class Connection {
public:
    Connection(const QString& path, const QString& options) : name_(uniqueConnectionName())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setConnectOptions(options);
        db.setDatabaseName(path);
        db.open();
    }
    ~Connection()
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

// The values of the card row, in the order of the statement that writes it.
void bindCard(QSqlQuery& q, const QString& word, const CardProgress& c)
{
    for (const QVariant& v : {QVariant(word), QVariant(c.memory.stability), QVariant(c.memory.difficulty),
                              QVariant(qint64(c.lastReviewDay)), QVariant(qint64(c.dueDay)), QVariant(qint64(c.firstReviewDay)),
                              QVariant(c.reps), QVariant(c.lapses), QVariant(c.state), QVariant(c.step),
                              QVariant(qint64(c.dueMs)), QVariant(c.flags), QVariant(c.fails)})
        q.addBindValue(v);
}

struct Finding {
    ProgressStore::OpenResult result;
    QString what;  // for the learner's message
};

Finding failure(const QSqlError& e)
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return {isCorruption(e) ? ProgressStore::OpenResult::Damaged : ProgressStore::OpenResult::NotWritable,
            e.nativeErrorCode() == QLatin1String("776") ? QStringLiteral("上次写入没有完成：%1").arg(text) : text};
}

// Our version 1 and sound, decided from what a read-only look at an existing file shows.
Finding inspect(const QString& path)
{
    using R = ProgressStore::OpenResult;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {R::NotWritable, file.errorString()};
    const QByteArray head = file.read(100);
    file.close();
    if (head.size() < 100 || !head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return {R::NotOurs, QStringLiteral("它不是 SQLite 数据库")};
    // Our files carry the id from their first commit, made before the switch to WAL.
    if (qFromBigEndian<quint32>(head.constData() + 68) != kApplicationId)
        return {R::NotOurs, QStringLiteral("它是别的程序的 SQLite 数据库")};

    Connection c(path, kBusyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
    QSqlDatabase db = c.db();
    if (!db.isOpen())
        return failure(db.lastError());
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failure(q.lastError());
    const int version = q.value(0).toInt();
    if (version > kSchemaVersion)
        return {R::Newer, QStringLiteral("格式版本 %1，本程序只认识版本 %2").arg(version).arg(kSchemaVersion)};
    if (version < kOldestVersion)
        return {R::Damaged, QStringLiteral("格式版本 %1 无效").arg(version)};
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return failure(q.lastError());
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList{QStringLiteral("ok")})
        return {R::Damaged, problems.value(0, QStringLiteral("完整性检查没有结果")).section(QLatin1Char('\n'), 0, 1).replace(QLatin1Char('\n'), QLatin1Char(' '))};
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                               " AND name IN ('cards', 'review_log', 'settings')"))
        || !q.next())
        return failure(q.lastError());
    if (q.value(0).toInt() != 3)
        return {R::Damaged, QStringLiteral("缺少数据表")};
    return {R::Ok, {}};
}

} // namespace

struct ProgressStore::Impl {
    Sync sync;
    QString path;
    OpenResult state = OpenResult::NotWritable;
    QString message;
    std::unique_ptr<Connection> connection;  // while open for writing, or read-only
    std::unique_ptr<QTemporaryDir> snapshot;  // the copy a read-only file is read from
    int version = kSchemaVersion;  // of the open file: a read-only one may be older
    QString reason;                // what the last failure found
    QSqlQuery readCard, writeCard, appendLog;
    std::int64_t lastLogId = 0;

    QSqlDatabase db() const { return connection->db(); }

    void close()
    {
        for (QSqlQuery* q : {&readCard, &writeCard, &appendLog})
            *q = QSqlQuery();
        connection.reset();
        snapshot.reset();
    }

    OpenResult fail(OpenResult result, const QString& what)
    {
        close();
        state = result;
        reason = what;
        const QString p = QDir::toNativeSeparators(path);
        const QString offer = QStringLiteral("，程序没有改动它。");
        switch (result) {
        case OpenResult::NotWritable:
            message = QStringLiteral("无法保存学习进度：文件 %1 不能写入（%2）。本次复习照常进行，但不会保存。").arg(p, what);
            break;
        case OpenResult::NotOurs:
            message = QStringLiteral("学习进度文件 %1 不是本程序的（%2）").arg(p, what) + offer;
            break;
        case OpenResult::Damaged:
            message = QStringLiteral("学习进度文件 %1 已损坏（%2）").arg(p, what) + offer;
            break;
        case OpenResult::Newer:
            message = QStringLiteral("学习进度文件 %1 是新版本的程序写的（%2），程序没有改动它。"
                                     "请用新版本的程序复习；本次复习照常进行，但不会保存。")
                          .arg(p, what);
            break;
        case OpenResult::ReadOnly:
            message = QStringLiteral("学习进度文件 %1 只能读取，不能写入（%2）。进度照常显示，本次复习照常进行，但不会保存。").arg(p, what);
            break;
        case OpenResult::Ok:
            break;
        }
        return result;
    }

    // Re-checks inside a transaction what the file is: another copy may have made it meanwhile.
    // Only a new file takes the write lock, which another copy answering quickly could keep busy.
    Finding createOrCheck(bool create)
    {
        QSqlQuery q(db());
        if (!q.exec(create ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
            return {OpenResult::NotWritable, q.lastError().databaseText()};
        const auto scalar = [&q](const QString& sql) { return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1; };
        const auto appId = scalar(QStringLiteral("PRAGMA application_id"));
        const auto version = scalar(QStringLiteral("PRAGMA user_version"));
        const auto objects = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        Finding found{OpenResult::Ok, QStringLiteral("打开时发现它已被改变")};
        if (create && appId == 0 && version == 0 && objects == 0) {
            QStringList schema(std::begin(kSchema), std::end(kSchema));
            schema << QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)
                   << QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion);
            for (const QString& sql : schema)
                if (found.result == OpenResult::Ok && !q.exec(sql))
                    found = {OpenResult::NotWritable, q.lastError().databaseText()};
        } else if (appId != kApplicationId) {
            found.result = OpenResult::NotOurs;
        } else if (version > kSchemaVersion) {
            found.result = OpenResult::Newer;
        } else if (version < kOldestVersion) {
            found.result = OpenResult::Damaged;
        }
        if (found.result == OpenResult::Ok && !q.exec(QStringLiteral("COMMIT")))
            found = {OpenResult::NotWritable, q.lastError().databaseText()};
        if (found.result != OpenResult::Ok)
            q.exec(QStringLiteral("ROLLBACK"));
        return found;
    }

    // A consistent copy of the open file under `name`, written under another name first so that a
    // file there is whole.
    bool copyTo(const QString& name)
    {
        const QString part = name + QStringLiteral(".part");
        QFile::remove(part);
        QSqlQuery q(db());
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(part);
        if (q.exec() && QFile::rename(part, name))
            return true;
        QFile::remove(part);
        return false;
    }

    QDir backupFolder() const { return QDir(QFileInfo(path).absolutePath() + QLatin1Char('/') + kBackupFolder); }

    // An older version's file, upgraded in one transaction after a backup copy of it.
    Finding upgrade()
    {
        QSqlQuery q(db());
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
            return {OpenResult::NotWritable, q.lastError().databaseText()};
        const int found = q.value(0).toInt();
        q.finish();  // VACUUM refuses to run beside an unfinished statement
        if (found == kSchemaVersion)
            return {OpenResult::Ok, {}};
        const QDir folder = backupFolder();
        const QString copy = folder.filePath(QStringLiteral("progress-v%1-%2.sqlite")
                                                 .arg(found)
                                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        if (!folder.mkpath(QStringLiteral(".")) || (!QFileInfo::exists(copy) && !copyTo(copy)))
            return {OpenResult::NotWritable, QStringLiteral("升级前的备份 %1 没有写成").arg(QDir::toNativeSeparators(copy))};
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return {OpenResult::NotWritable, q.lastError().databaseText()};
        // Another copy may have upgraded it meanwhile.
        bool ok = q.exec(QStringLiteral("PRAGMA user_version")) && q.next();
        if (ok && q.value(0).toInt() == 1)
            for (const char* sql : kUpgradeFrom1)
                ok = ok && q.exec(QLatin1String(sql));
        if (ok && q.exec(QStringLiteral("COMMIT")))
            return {OpenResult::Ok, {}};
        const QString why = q.lastError().databaseText();
        q.exec(QStringLiteral("ROLLBACK"));
        return {OpenResult::NotWritable, QStringLiteral("升级没有完成：%1").arg(why)};
    }

    Finding openChecked(bool create)
    {
        if (!db().isOpen())
            return {OpenResult::NotWritable, db().lastError().databaseText()};
        if (Finding f = createOrCheck(create); f.result != OpenResult::Ok)
            return f;
        QSqlQuery q(db());
        // The journal mode is kept in the file; switching needs a moment alone with it.
        if (!q.exec(QStringLiteral("PRAGMA journal_mode")) || !q.next())
            return {OpenResult::NotWritable, q.lastError().databaseText()};
        if (q.value(0).toString() != QLatin1String("wal")
            && (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next() || q.value(0).toString() != QLatin1String("wal")))
            return {OpenResult::NotWritable, QStringLiteral("不能切换到 WAL 日志：%1").arg(q.lastError().databaseText())};
        q.exec(sync == Sync::Full ? QStringLiteral("PRAGMA synchronous = FULL") : QStringLiteral("PRAGMA synchronous = NORMAL"));
        if (Finding f = upgrade(); f.result != OpenResult::Ok)
            return f;
        version = kSchemaVersion;

        const std::pair<QSqlQuery*, const char*> statements[] = {
            {&readCard, "SELECT stability, difficulty, last_review_day, due_day, first_review_day, reps, lapses,"
                        " state, step, due_ms, flags, fails FROM cards WHERE word = ?"},
            {&writeCard, "INSERT OR REPLACE INTO cards (word, stability, difficulty, last_review_day, due_day,"
                         " first_review_day, reps, lapses, state, step, due_ms, flags, fails)"
                         " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"},
            {&appendLog, "INSERT INTO review_log (time_ms, word, mode, grade, answer_ms, interval_days, stability,"
                         " difficulty, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"},
        };
        for (const auto& [query, sql] : statements) {
            *query = QSqlQuery(db());
            query->setForwardOnly(true);
            if (!query->prepare(QLatin1String(sql)))
                return {OpenResult::NotWritable, query->lastError().databaseText()};
        }
        return {OpenResult::Ok, {}};
    }

    OpenResult openForWriting(bool create)
    {
        connection = std::make_unique<Connection>(path, kBusyTimeout);
        const Finding f = openChecked(create);  // its queries are gone before fail() drops the connection
        if (f.result != OpenResult::Ok)
            return fail(f.result, f.what);
        state = OpenResult::Ok;
        message.clear();
        return state;
    }

    // The file is read from a private copy (with its -wal): SQLite needs a writable folder even to
    // read a WAL file, and nothing of the original is ever touched.
    OpenResult openReadOnly(const QString& why)
    {
        close();
        auto copyDir = std::make_unique<QTemporaryDir>();
        const QString copy = copyDir->filePath(QStringLiteral("progress.sqlite"));
        bool copied = copyDir->isValid() && QFile::copy(path, copy);
        if (copied && QFileInfo::exists(path + QStringLiteral("-wal")))
            copied = QFile::copy(path + QStringLiteral("-wal"), copy + QStringLiteral("-wal"));
        if (!copied)
            return fail(OpenResult::NotWritable, why);
        if (const Finding f = inspect(copy); f.result != OpenResult::Ok)
            return fail(f.result, f.what);
        fail(OpenResult::ReadOnly, why);
        snapshot = std::move(copyDir);
        connection = std::make_unique<Connection>(copy, kBusyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        QSqlQuery q(db());
        if (!db().isOpen() || !q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
            return fail(OpenResult::NotWritable, why);
        version = q.value(0).toInt();
        return state;
    }
};

ProgressStore::ProgressStore(Sync sync) : d(std::make_unique<Impl>())
{
    d->sync = sync;
}

ProgressStore::~ProgressStore()
{
    d->close();
}

QString ProgressStore::defaultPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/progress.sqlite");
}

ProgressStore::OpenResult ProgressStore::open(const QString& path)
{
    d->close();
    d->path = path;
    if (path.isEmpty())
        return d->fail(OpenResult::NotWritable, QStringLiteral("没有可用的数据文件夹"));
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        d->fail(OpenResult::NotWritable, {});
        d->message = QStringLiteral("无法保存学习进度：文件夹 %1 不能建立或写入。本次复习照常进行，但不会保存。")
                         .arg(QDir::toNativeSeparators(info.absolutePath()));
        return d->state;
    }
    // An empty file is what an interrupted first start leaves: SQLite itself takes it as a new database.
    const bool create = !info.exists() || info.size() == 0;
    if (!create) {
        // SQLite would open it read-only without a word, and needs the folder for its -wal and -shm.
        if (!info.isWritable())
            return d->openReadOnly(QStringLiteral("文件是只读的"));
        if (!QFileInfo(info.absolutePath()).isWritable())
            return d->openReadOnly(QStringLiteral("文件夹是只读的"));
        const Finding f = inspect(path);
        if (f.result != OpenResult::Ok)
            return d->fail(f.result, f.what);
    }
    const OpenResult result = d->openForWriting(create);
    // A read-only disk, or anything else that keeps a sound file from being written.
    if (result == OpenResult::NotWritable && !create)
        return d->openReadOnly(d->reason);
    return result;
}

bool ProgressStore::isOpen() const
{
    return d->state == OpenResult::Ok;
}

bool ProgressStore::isReadable() const
{
    return d->state == OpenResult::Ok || d->state == OpenResult::ReadOnly;
}

QString ProgressStore::path() const
{
    return d->path;
}

QString ProgressStore::message() const
{
    return d->message;
}

bool ProgressStore::moveAside(QString* movedTo)
{
    if (d->state != OpenResult::NotOurs && d->state != OpenResult::Damaged)
        return false;
    const QString base = d->path + QStringLiteral(".bad-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    const auto taken = [](const QString& name) {
        if (QFileInfo::exists(name))
            return true;
        for (const QString& s : kSidecars)
            if (QFileInfo::exists(name + s))
                return true;
        return false;
    };
    for (int n = 2; taken(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    // QFile::rename never replaces an existing file.
    bool moved = QFile::rename(d->path, target);
    for (const QString& s : kSidecars)
        if (moved && QFileInfo::exists(d->path + s))
            moved = QFile::rename(d->path + s, target + s);
    const QString from = QDir::toNativeSeparators(d->path), to = QDir::toNativeSeparators(target);
    if (!moved) {
        d->message = QStringLiteral("无法把文件 %1 改名为 %2。本次复习照常进行，但不会保存。").arg(from, to);
        return false;
    }
    d->state = OpenResult::NotWritable;
    d->message = QStringLiteral("已把原来的文件 %1 改名保存为 %2。").arg(from, to);
    if (movedTo)
        *movedTo = target;
    return true;
}

std::vector<CardProgress> ProgressStore::loadProgress()
{
    std::vector<CardProgress> cards;
    if (!isReadable())
        return cards;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    // A read-only file of version 1 has no steps: its answered cards are in review.
    const QString steps = d->version >= 2 ? QStringLiteral("state, step, due_ms, flags, fails")
                                          : QStringLiteral("CASE WHEN stability > 0 THEN 2 ELSE 0 END, 0, 0, 0, 0");
    if (!q.exec(QStringLiteral("SELECT word, stability, difficulty, last_review_day, due_day, first_review_day,"
                               " reps, lapses, %1 FROM cards").arg(steps))) {
        d->message = QStringLiteral("无法读取学习进度：%1").arg(q.lastError().databaseText());
        return cards;
    }
    while (q.next()) {
        CardProgress c;
        c.word = q.value(0).toString().toStdString();
        c.memory = {q.value(1).toDouble(), q.value(2).toDouble()};
        c.lastReviewDay = q.value(3).toLongLong();
        c.dueDay = q.value(4).toLongLong();
        c.firstReviewDay = q.value(5).toLongLong();
        c.reps = q.value(6).toInt();
        c.lapses = q.value(7).toInt();
        c.state = q.value(8).toInt();
        c.step = q.value(9).toInt();
        c.dueMs = q.value(10).toLongLong();
        c.flags = q.value(11).toInt();
        c.fails = q.value(12).toInt();
        cards.push_back(std::move(c));
    }
    return cards;
}

bool ProgressStore::recordAnswer(const std::string& word, const Answer& answer)
{
    if (!isOpen())
        return false;
    QSqlQuery tx(d->db());
    const auto failed = [this](const QSqlQuery& q) {
        d->message = QStringLiteral("这次回答没有保存：%1").arg(q.lastError().databaseText());
        return false;
    };
    if (!tx.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(tx);
    // Whatever leaves before the COMMIT, an exception from `answer` included, takes the transaction back.
    struct Rollback {
        QSqlQuery& tx;
        bool armed = true;
        ~Rollback()
        {
            if (armed)
                tx.exec(QStringLiteral("ROLLBACK"));
        }
    } rollback{tx};

    const QString key = QString::fromStdString(word);
    CardProgress current;
    current.word = word;
    QSqlQuery& read = d->readCard;
    read.addBindValue(key);
    if (!read.exec())
        return failed(read);
    if (read.next()) {
        current.memory = {read.value(0).toDouble(), read.value(1).toDouble()};
        current.lastReviewDay = read.value(2).toLongLong();
        current.dueDay = read.value(3).toLongLong();
        current.firstReviewDay = read.value(4).toLongLong();
        current.reps = read.value(5).toInt();
        current.lapses = read.value(6).toInt();
        current.state = read.value(7).toInt();
        current.step = read.value(8).toInt();
        current.dueMs = read.value(9).toLongLong();
        current.flags = read.value(10).toInt();
        current.fails = read.value(11).toInt();
    }
    read.finish();

    const auto answered = answer(current);
    if (!answered)
        return true;  // nothing to write; the guard takes the transaction back
    const auto& [card, log] = *answered;
    QSqlQuery& w = d->writeCard;
    bindCard(w, key, card);
    if (!w.exec())
        return failed(w);
    if (log.grade != Grade(0)) {
        QSqlQuery& l = d->appendLog;
        for (const QVariant& v : {QVariant(qint64(log.timeMs)), QVariant(key), QVariant(int(log.mode)), QVariant(int(log.grade)),
                                  QVariant(qint64(log.answerMs)), QVariant(log.intervalDays),
                                  QVariant(log.memory.stability), QVariant(log.memory.difficulty), QVariant(log.state)})
            l.addBindValue(v);
        if (!l.exec())
            return failed(l);
        d->lastLogId = l.lastInsertId().toLongLong();
    } else {
        d->lastLogId = 0;
    }
    if (!tx.exec(QStringLiteral("COMMIT")))
        return failed(tx);
    rollback.armed = false;
    return true;
}

std::int64_t ProgressStore::lastLogId() const
{
    return d->lastLogId;
}

bool ProgressStore::undoAnswer(const CardProgress& before, const CardProgress& after, std::int64_t logId)
{
    if (!isOpen())
        return false;
    QSqlQuery tx(d->db());
    if (!tx.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        d->message = QStringLiteral("没有能撤销：%1").arg(tx.lastError().databaseText());
        return false;
    }
    bool ok = true;
    const QString key = QString::fromStdString(after.word);
    QSqlQuery& read = d->readCard;
    read.addBindValue(key);
    ok = read.exec() && read.next() && read.value(5).toInt() == after.reps && read.value(3).toLongLong() == after.dueDay;
    read.finish();
    QSqlQuery q(d->db());
    if (ok) {
        q.prepare(QStringLiteral("DELETE FROM review_log WHERE id = ? AND word = ?"));
        q.addBindValue(qint64(logId));
        q.addBindValue(key);
        ok = q.exec() && q.numRowsAffected() == 1;
    }
    if (ok && before.reps == 0 && before.flags == 0) {
        q.prepare(QStringLiteral("DELETE FROM cards WHERE word = ?"));
        q.addBindValue(key);
        ok = q.exec();
    } else if (ok) {
        QSqlQuery& w = d->writeCard;
        bindCard(w, key, before);
        ok = w.exec();
    }
    if (ok && tx.exec(QStringLiteral("COMMIT")))
        return true;
    if (!ok)
        d->message = QStringLiteral("没有能撤销：这张卡片已经改变");
    tx.exec(QStringLiteral("ROLLBACK"));
    return false;
}

std::int64_t ProgressStore::logCount()
{
    if (!isReadable())
        return -1;
    QSqlQuery q(d->db());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM review_log")) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

std::vector<ProgressStore::LogRow> ProgressStore::answersOf(const std::string& word)
{
    std::vector<LogRow> rows;
    if (!isReadable())
        return rows;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT time_ms, grade, answer_ms FROM review_log WHERE word = ? ORDER BY time_ms"));
    q.addBindValue(QString::fromStdString(word));
    if (q.exec())
        while (q.next())
            rows.push_back({q.value(0).toLongLong(), word, q.value(1).toInt(), q.value(2).toLongLong()});
    return rows;
}

ProgressStore::DayTotals ProgressStore::dayTotals(std::int64_t fromMs, std::int64_t toMs, std::int64_t learningDay)
{
    DayTotals totals;
    if (!isReadable())
        return totals;
    QSqlQuery q(d->db());
    q.prepare(QStringLiteral("SELECT count(*), total(grade > 1), total(answer_ms),"
                             " (SELECT count(*) FROM cards WHERE first_review_day = ?)"
                             " FROM review_log WHERE time_ms >= ? AND time_ms < ?"));
    q.addBindValue(qint64(learningDay));
    q.addBindValue(qint64(fromMs));
    q.addBindValue(qint64(toMs));
    if (q.exec() && q.next())
        totals = {q.value(0).toInt(), q.value(1).toInt(), q.value(3).toInt(), q.value(2).toLongLong()};
    return totals;
}

bool ProgressStore::backUp(std::int64_t learningDay)
{
    if (!isOpen())
        return false;
    const QDir folder(QFileInfo(d->path).absolutePath() + QLatin1Char('/') + kBackupFolder);
    if (!folder.mkpath(QStringLiteral(".")))
        return false;
    const QString name = folder.filePath(QStringLiteral("progress-%1.sqlite").arg(dateOfDay(learningDay).toString(QStringLiteral("yyyyMMdd"))));
    if (QFileInfo::exists(name))
        return true;
    if (!d->copyTo(name))
        return false;
    const QStringList kept = folder.entryList({QStringLiteral("progress-[0-9]*.sqlite")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (qsizetype i = kBackupsKept; i < kept.size(); ++i)
        QFile::remove(folder.filePath(kept[i]));
    return true;
}

std::optional<ProgressStore::Backup> ProgressStore::latestSoundBackup(const QString& path)
{
    const QDir folder(QFileInfo(path).absolutePath() + QLatin1Char('/') + kBackupFolder);
    for (const QString& name : folder.entryList({QStringLiteral("progress-[0-9]*.sqlite")}, QDir::Files, QDir::Name | QDir::Reversed)) {
        const QString file = folder.filePath(name);
        const QDate date = QDate::fromString(name.mid(9, 8), QStringLiteral("yyyyMMdd"));
        if (!date.isValid() || inspect(file).result != OpenResult::Ok)
            continue;
        Connection c(file, kBusyTimeout + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        QSqlQuery q(c.db());
        if (q.exec(QStringLiteral("SELECT count(*) FROM review_log")) && q.next())
            return Backup{file, QDate(1970, 1, 1).daysTo(date), q.value(0).toLongLong()};
    }
    return std::nullopt;
}

bool ProgressStore::restore(const Backup& backup, QString* movedTo)
{
    QString moved;
    if (QFileInfo::exists(d->path) && !moveAside(&moved))
        return false;
    const QString part = d->path + QStringLiteral(".restoring");
    QFile::remove(part);
    const QString from = QDir::toNativeSeparators(moved), copy = QDir::toNativeSeparators(backup.path);
    if (!QFile::copy(backup.path, part) || !QFile::rename(part, d->path)) {
        QFile::remove(part);
        d->message = QStringLiteral("无法从备份 %1 恢复。原来的文件已改名保存为 %2。").arg(copy, from);
        return false;
    }
    d->state = OpenResult::NotWritable;
    d->message = QStringLiteral("已从 %1 的备份恢复学习进度（%2 次回答）；原来的文件改名保存为 %3。")
                     .arg(dateOfDay(backup.learningDay).toString(QStringLiteral("yyyy-MM-dd")))
                     .arg(backup.answers)
                     .arg(from);
    if (movedTo)
        *movedTo = moved;
    return true;
}

std::vector<ProgressStore::LogRow> ProgressStore::reviewLog(std::int64_t sinceMs)
{
    std::vector<LogRow> rows;
    if (!isReadable())
        return rows;
    QSqlQuery q(d->db());
    q.setForwardOnly(true);
    // One index seek per answered word finds its answer before sinceMs, where a GROUP BY would
    // read the whole log.
    q.prepare(QStringLiteral("SELECT time_ms, word, grade, answer_ms FROM review_log WHERE time_ms >= :since"
                             " UNION ALL SELECT t, word, 0, 0 FROM (SELECT word, (SELECT max(time_ms) FROM review_log l"
                             " WHERE l.word = c.word AND l.time_ms < :since) AS t FROM cards c) WHERE t IS NOT NULL"
                             " ORDER BY 1"));
    q.bindValue(QStringLiteral(":since"), qint64(sinceMs));
    if (!q.exec())
        return rows;
    while (q.next())
        rows.push_back({q.value(0).toLongLong(), q.value(1).toString().toStdString(), q.value(2).toInt(),
                        q.value(3).toLongLong()});
    return rows;
}

QString ProgressStore::setting(const QString& key, const QString& fallback)
{
    if (!isReadable())
        return fallback;
    QSqlQuery q(d->db());
    q.prepare(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toString() : fallback;
}

bool ProgressStore::setSetting(const QString& key, const QString& value)
{
    if (!isOpen())
        return false;
    QSqlQuery q(d->db());
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"));
    q.addBindValue(key);
    q.addBindValue(value);
    if (q.exec())
        return true;
    d->message = QStringLiteral("设置没有保存：%1").arg(q.lastError().databaseText());
    return false;
}

} // namespace review
