#include "review/stats.h"

#include <algorithm>
#include <map>

#include <QStringList>

#include "review/fsrs.h"

namespace review::stats {

namespace {
std::pair<std::int64_t, int> parseStreak(const QString& streak)
{
    const QStringList parts = streak.split(QLatin1Char(':'));
    bool okDay = false, okCount = false;
    const std::int64_t day = parts.value(0).toLongLong(&okDay);
    const int count = parts.value(1).toInt(&okCount);
    if (parts.size() != 2 || !okDay || !okCount || count < 1)
        return {0, 0};
    return {day, count};
}
} // namespace

QString markFinished(const QString& streak, std::int64_t today)
{
    const auto [day, count] = parseStreak(streak);
    const int next = count > 0 && day == today ? count : count > 0 && day == today - 1 ? count + 1 : 1;
    return QStringLiteral("%1:%2").arg(today).arg(next);
}

int streakOf(const QString& streak, std::int64_t today)
{
    const auto [day, count] = parseStreak(streak);
    // Today not yet finished still keeps yesterday's run; a day in the future is a clock moved back.
    return day == today || day == today - 1 ? count : 0;
}

double retentionOf(const QString& setting)
{
    bool ok = false;
    const double r = setting.toDouble(&ok);
    return ok && r >= 0.80 - 1e-9 && r <= 0.95 + 1e-9 ? r : 0.90;
}

Figures compute(std::span<const Card> cards, const std::vector<CardProgress>& progress,
                const std::vector<ProgressStore::LogRow>& rows, std::int64_t today, const QString& streak)
{
    Figures f;
    f.today = today;
    f.total = static_cast<int>(cards.size());
    f.streak = streakOf(streak, today);
    std::map<std::string_view, const CardProgress*> byWord;
    for (const CardProgress& p : progress)
        byWord[p.word] = &p;
    for (const Card& c : cards) {
        const auto it = byWord.find(c.word);
        const CardProgress* p = it == byWord.end() ? nullptr : it->second;
        // Marked known (斩) counts as known without an answer.
        const bool known = p && (p->memory.stability >= kKnownDays || (p->flags & CardFlag::Known));
        if (c.unit >= 1 && c.unit <= kUnits) {
            UnitBar& bar = f.units[c.unit - 1];
            (known ? bar.known : !p || p->memory.isNew() ? bar.fresh : bar.learning) += 1;
        }
        f.known += known;
        f.learnt += p && p->memory.stability >= kLearntDays;
        f.seen += p && !p->memory.isNew();
        if (p && !p->memory.isNew()) {
            const std::int64_t in = std::max<std::int64_t>(0, p->dueDay - today);
            if (in < kDays)
                ++f.due[in];
        }
    }
    std::map<std::string_view, std::int64_t> previousDay;
    for (const auto& r : rows) {
        const std::int64_t day = fsrs::learningDay(r.timeMs);
        const auto prev = previousDay.find(r.word);
        const bool learnt = prev != previousDay.end() && prev->second < day;
        previousDay[r.word] = day;
        const std::int64_t ago = today - day;
        if (ago < 0 || ago >= kDays)
            continue;
        ++f.logRows;
        DayActivity& a = f.days[kDays - 1 - ago];
        ++a.reviews;
        a.answerMs += std::max<std::int64_t>(0, r.answerMs);
        if (!learnt)
            continue;
        const bool right = r.grade != static_cast<int>(Grade::Again);
        for (Retention* ret : {&f.month, ago < 7 ? &f.week : nullptr})
            if (ret) {
                ++ret->total;
                ret->right += right;
            }
    }
    return f;
}

Figures load(ProgressStore& store, std::int64_t today, std::span<const Card> cards)
{
    // A day's margin before the first of the 30 days; each word's answer before that comes too.
    const std::int64_t since = (today - kDays - 1) * 86400000LL;
    return compute(cards, store.loadProgress(), store.reviewLog(since), today, store.setting(kStreakKey));
}

} // namespace review::stats
