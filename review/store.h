#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "review/model.h"

namespace review {

// The learner's progress in one SQLite file: each answer its own committed transaction.
// A file it does not recognise as its own, sound and of its version is only ever read.
class ProgressStore {
public:
    // ReadOnly: a sound file of ours that cannot be written; it is read from a copy, never written.
    enum class OpenResult { Ok, NotWritable, NotOurs, Damaged, Newer, ReadOnly };
    // Full: a commit is on the disk when recordAnswer returns, power cut included.
    // Normal: a commit survives the program being killed, but a power cut may take the last ones.
    enum class Sync { Full, Normal };

    // Nothing (nullopt): the answer is dropped, as when another copy has answered the card since.
    using Answer = std::function<std::optional<std::pair<CardProgress, ReviewLogEntry>>(const CardProgress& current)>;

    explicit ProgressStore(Sync sync = Sync::Full);
    ~ProgressStore();
    ProgressStore(const ProgressStore&) = delete;
    ProgressStore& operator=(const ProgressStore&) = delete;

    static QString defaultPath();

    OpenResult open(const QString& path);
    bool isOpen() const;      // open for writing
    bool isReadable() const;  // open for writing, or read-only
    QString path() const;
    // For the learner, in Chinese: what was found at which path, or why the last call failed.
    QString message() const;
    // After the learner's OK on NotOurs or Damaged: renames the file and its -wal/-shm/-journal to
    // "<path>.bad-YYYYMMDD-HHMMSS" beside it, never overwriting, never deleting. Then open() again.
    bool moveAside(QString* movedTo);

    // A consistent copy of the file into backups/ beside it, once a learning day (SQLite's
    // VACUUM INTO, never a file copy of the live database); the newest kBackupsKept are kept.
    static constexpr int kBackupsKept = 14;
    bool backUp(std::int64_t learningDay);
    struct Backup {
        QString path;
        std::int64_t learningDay = 0;
        std::int64_t answers = 0;
    };
    // The newest backup of the file at `path` that is ours and sound.
    static std::optional<Backup> latestSoundBackup(const QString& path);
    // After the learner's choice on NotOurs or Damaged: the file is moved aside as moveAside
    // does and the backup copied in its place. Then open() again.
    bool restore(const Backup& backup, QString* movedTo);

    std::vector<CardProgress> loadProgress();
    // One transaction: reads the word's stored card (a new one if none), asks `answer` for the
    // card after the answer and its log row, writes both and commits. False if not committed.
    // A log row of grade 0 is not written: the card alone changed (shown, marked known).
    bool recordAnswer(const std::string& word, const Answer& answer);
    // The log row the last recordAnswer wrote (0 if none).
    std::int64_t lastLogId() const;
    // Takes an answer back in one transaction: its log row goes, the card is as it was before
    // (no row if it had none). False, and nothing changed, if the stored card is no longer the
    // one that answer left (another copy answered it since).
    bool undoAnswer(const CardProgress& before, const CardProgress& after, std::int64_t logId);
    std::int64_t logCount();  // -1 when it cannot be read
    struct LogRow {
        std::int64_t timeMs;
        std::string word;
        int grade;
        std::int64_t answerMs;
    };
    // The answers from sinceMs on, and the time of each word's last answer before it (grade 0),
    // oldest first; sinceMs 0: the whole log. Empty when it cannot be read.
    std::vector<LogRow> reviewLog(std::int64_t sinceMs = 0);
    std::vector<LogRow> answersOf(const std::string& word);  // one card's answers, oldest first
    // A learning day's answers as the log has them, whatever restarts came between.
    struct DayTotals {
        int answers = 0, right = 0, newWords = 0;
        std::int64_t answerMs = 0;
    };
    DayTotals dayTotals(std::int64_t fromMs, std::int64_t toMs, std::int64_t learningDay);
    QString setting(const QString& key, const QString& fallback = {});
    bool setSetting(const QString& key, const QString& value);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace review
