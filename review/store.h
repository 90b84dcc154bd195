#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
    enum class OpenResult { Ok, NotWritable, NotOurs, Damaged, Newer };
    // Full: a commit is on the disk when recordAnswer returns, power cut included.
    // Normal: a commit survives the program being killed, but a power cut may take the last ones.
    enum class Sync { Full, Normal };

    using Answer = std::function<std::pair<CardProgress, ReviewLogEntry>(const CardProgress& current)>;

    explicit ProgressStore(Sync sync = Sync::Full);
    ~ProgressStore();
    ProgressStore(const ProgressStore&) = delete;
    ProgressStore& operator=(const ProgressStore&) = delete;

    static QString defaultPath();

    OpenResult open(const QString& path);
    bool isOpen() const;  // open for writing
    // For the learner, in Chinese: what was found at which path, or why the last call failed.
    QString message() const;
    // After the learner's OK on NotOurs or Damaged: renames the file and its -wal/-shm/-journal to
    // "<path>.bad-YYYYMMDD-HHMMSS" beside it, never overwriting, never deleting. Then open() again.
    bool moveAside(QString* movedTo);

    std::vector<CardProgress> loadProgress();
    // One transaction: reads the word's stored card (a new one if none), asks `answer` for the
    // card after the answer and its log row, writes both and commits. False if not committed.
    bool recordAnswer(const std::string& word, const Answer& answer);
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
    QString setting(const QString& key, const QString& fallback = {});
    bool setSetting(const QString& key, const QString& value);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace review
