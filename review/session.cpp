#include "review/session.h"

#include <algorithm>
#include <chrono>

#include "review/fsrs.h"
#include "review/store.h"

namespace review {

namespace {
// Other cards shown before a set-aside card comes back, so it is not answered from short memory.
constexpr int setAsideGap = 3;
} // namespace

std::int64_t Session::systemClock()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

Session::Session(ProgressStore* store, Clock clock, std::span<const Card> cards)
    : store_(store), clock_(clock ? std::move(clock) : Clock(systemClock)), cards_(cards)
{
}

void Session::setDailyNewWords(int count)
{
    dailyNew_ = std::clamp(count, 0, static_cast<int>(cards_.size()));
}

void Session::setDesiredRetention(double retention)
{
    parameters_.desiredRetention = retention == retention ? std::clamp(retention, 0.80, 0.95) : 0.9;  // NaN: the default
}

std::int64_t Session::today() const
{
    return fsrs::learningDay(clock_());
}

CardProgress& Session::progressOf(int card)
{
    const std::string_view word = cards_[card].word;
    auto it = progress_.find(word);
    if (it == progress_.end()) {
        it = progress_.emplace(std::string(word), CardProgress{}).first;
        it->second.word = word;
    }
    return it->second;
}

int Session::newIntroducedToday() const
{
    const std::int64_t day = today();
    return static_cast<int>(std::count_if(progress_.begin(), progress_.end(),
                                          [day](const auto& p) { return p.second.firstReviewDay == day; }));
}

int Session::dueOn(std::int64_t day) const
{
    return static_cast<int>(std::count_if(progress_.begin(), progress_.end(), [day](const auto& p) {
        return !p.second.memory.isNew() && p.second.dueDay == day;
    }));
}

void Session::start()
{
    // A closed store keeps the in-memory progress of this run; a read-only one is read once.
    if (store_ && (store_->isOpen() || (store_->isReadable() && !readOnlyLoaded_))) {
        progress_.clear();
        for (CardProgress& p : store_->loadProgress())
            progress_[p.word] = std::move(p);
        readOnlyLoaded_ = !store_->isOpen();
    }
    const std::int64_t day = day_ = today();
    due_.clear();
    new_.clear();
    setAside_.clear();
    answered_ = 0;
    int newRoom = std::max(0, dailyNew_ - newIntroducedToday());
    std::vector<std::pair<std::int64_t, int>> due;
    for (int i = 0; i < static_cast<int>(cards_.size()); ++i) {
        const auto it = progress_.find(cards_[i].word);
        const bool isNew = it == progress_.end() || it->second.memory.isNew();
        if (!isNew) {
            if (it->second.dueDay <= day)
                due.emplace_back(it->second.dueDay, i);
        } else if (newRoom > 0) {
            new_.push_back(i);
            --newRoom;
        }
    }
    // The longest overdue first, then card order.
    std::stable_sort(due.begin(), due.end());
    for (auto it = due.rbegin(); it != due.rend(); ++it)
        due_.push_back(it->second);
    std::reverse(new_.begin(), new_.end());
    current_ = -1;
    origin_ = Origin::None;
    pickNext();
}

void Session::pickNext()
{
    current_ = -1;
    origin_ = Origin::None;
    const auto ready = std::find_if(setAside_.begin(), setAside_.end(),
                                    [this](const Held& h) { return h.backAfter <= answered_; });
    if (ready != setAside_.end()) {
        current_ = ready->card;
        origin_ = Origin::SetAside;
        setAside_.erase(ready);
    } else if (!due_.empty()) {
        current_ = due_.back();
        origin_ = Origin::Due;
        due_.pop_back();
    } else if (!new_.empty()) {
        current_ = new_.back();
        origin_ = Origin::New;
        new_.pop_back();
    } else if (!setAside_.empty()) {
        current_ = setAside_.front().card;
        origin_ = Origin::SetAside;
        setAside_.erase(setAside_.begin());
    }
    shownMs_ = clock_();
}

const Card* Session::current() const
{
    return current_ < 0 ? nullptr : &cards_[current_];
}

const CardProgress& Session::currentProgress() const
{
    static const CardProgress none;
    if (current_ < 0)
        return none;
    const auto it = progress_.find(cards_[current_].word);
    return it == progress_.end() ? none : it->second;
}

bool Session::currentIsNew() const
{
    return currentProgress().memory.isNew();
}

void Session::cardShown()
{
    shownMs_ = clock_();
}

int Session::dueLeft() const
{
    return static_cast<int>(due_.size()) + (origin_ == Origin::Due ? 1 : 0);
}

int Session::newLeft() const
{
    return static_cast<int>(new_.size()) + (origin_ == Origin::New ? 1 : 0);
}

bool Session::grade(Grade grade, Mode mode)
{
    if (current_ < 0)
        return false;
    const std::int64_t now = clock_();
    const std::int64_t day = fsrs::learningDay(now);
    const std::int64_t answerMs = std::max<std::int64_t>(0, now - shownMs_);
    const auto answer = [&](const CardProgress& current) {
        const bool wasNew = current.memory.isNew();
        const std::int64_t elapsed = wasNew || current.lastReviewDay < 0 ? 0 : day - current.lastReviewDay;
        const fsrs::Step step = fsrs::next(current.memory, elapsed, grade, parameters_);
        CardProgress card = current;
        card.memory = step.memory;
        card.dueDay = day + step.intervalDays;
        card.lastReviewDay = day;
        if (card.firstReviewDay < 0)
            card.firstReviewDay = day;
        ++card.reps;
        if (grade == Grade::Again && !wasNew)
            ++card.lapses;
        ReviewLogEntry log;
        log.timeMs = now;
        log.word = current.word;
        log.mode = mode;
        log.grade = grade;
        log.answerMs = answerMs;
        log.intervalDays = step.intervalDays;
        log.memory = step.memory;
        return std::pair{card, log};
    };
    CardProgress& kept = progressOf(current_);
    CardProgress after;
    bool saved = false, stale = false;
    if (store_ && store_->isOpen())
        saved = store_->recordAnswer(kept.word, [&](const CardProgress& stored)
                                         -> std::optional<std::pair<CardProgress, ReviewLogEntry>> {
            // Answered meanwhile by another copy on the same file: that answer stands.
            if (stored.reps != kept.reps) {
                stale = true;
                after = stored;
                return std::nullopt;
            }
            auto result = answer(stored);
            after = result.first;
            return result;
        });
    if (!saved)
        after = answer(kept).first;
    kept = after;
    if (stale) {
        ++superseded_;
        pickNext();
        return true;
    }
    ++answered_;
    if (grade == Grade::Again)
        setAside_.push_back({current_, answered_ + setAsideGap});
    pickNext();
    return saved;
}

} // namespace review
