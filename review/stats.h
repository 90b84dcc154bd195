#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <QString>

#include "review/cards.h"
#include "review/model.h"
#include "review/store.h"

// The figures of the statistics page, from the cards table and the review log.
namespace review::stats {

constexpr int kUnits = 24;
constexpr int kDays = 30;          // the due forecast and the daily activity
constexpr double kKnownDays = 21;  // stability from which a word counts as known
constexpr double kLearntDays = 1;  // stability from which a word counts as learnt

struct UnitBar {
    int fresh = 0, learning = 0, known = 0;
};
struct DayActivity {
    int reviews = 0;
    std::int64_t answerMs = 0;
};
// Answers to words learnt on an earlier day than their previous answer: true retention.
struct Retention {
    int right = 0, total = 0;
    double share() const { return total ? double(right) / total : 0; }
};

struct Figures {
    std::int64_t today = 0;
    std::array<UnitBar, kUnits> units{};
    std::array<int, kDays> due{};          // due[0]: today, the overdue included
    std::array<DayActivity, kDays> days{};  // days[kDays - 1]: today
    Retention week, month;
    int known = 0, total = 0;
    int learnt = 0;  // stability of a day or more: past the first steps
    int seen = 0;    // answered at least once
    int streak = 0;
    std::int64_t logRows = 0;  // in the last kDays days
};

// rows: oldest first, as ProgressStore::reviewLog gives them; a streak as kept in the settings.
Figures compute(std::span<const Card> cards, const std::vector<CardProgress>& progress,
                const std::vector<ProgressStore::LogRow>& rows, std::int64_t today, const QString& streak);
// From the store, for the learning day `today`.
Figures load(ProgressStore& store, std::int64_t today, std::span<const Card> cards = allCards());

// The streak setting "<last finished day>:<days in a row>".
inline const QString kStreakKey = QStringLiteral("streak");
QString markFinished(const QString& streak, std::int64_t today);
int streakOf(const QString& streak, std::int64_t today);  // 0 once a day is missed

inline const QString kRetentionKey = QStringLiteral("desiredRetention");
double retentionOf(const QString& setting);  // 0.80..0.95, 0.90 when unset or bad

} // namespace review::stats
