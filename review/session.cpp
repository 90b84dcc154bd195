#include "review/session.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "review/fsrs.h"
#include "review/store.h"

namespace review {

namespace {
bool inSteps(const CardProgress& p)
{
    return !p.memory.isNew() && (p.state == int(fsrs::CardState::Learning) || p.state == int(fsrs::CardState::Relearning));
}
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
    steps_.clear();
    asked_.clear();
    undo_.clear();
    turns_ = 0;
    answered_ = 0;
    int newRoom = std::max(0, dailyNew_ - newIntroducedToday());
    std::vector<std::pair<std::int64_t, int>> due;
    for (int i = 0; i < static_cast<int>(cards_.size()); ++i) {
        const auto it = progress_.find(cards_[i].word);
        const bool isNew = it == progress_.end() || it->second.memory.isNew();
        const int flags = it == progress_.end() ? 0 : it->second.flags;
        if (flags & (CardFlag::Known | CardFlag::Suspended))
            continue;
        if (isNew && (flags & CardFlag::Shown)) {
            asked_.push_back({i, 0});  // shown before a restart: asked at once
        } else if (!isNew && inSteps(it->second)) {
            steps_.push_back(i);
        } else if (!isNew) {
            if (it->second.dueDay <= day)
                due.emplace_back(it->second.dueDay, i);
        } else if (newRoom > 0) {
            new_.push_back(i);
            --newRoom;
        }
    }
    // The longest overdue first, then card order; past the limit, the rest wait and no new words come.
    std::stable_sort(due.begin(), due.end());
    dueToday_ = static_cast<int>(due.size());
    if (overLimit()) {
        due.resize(static_cast<std::size_t>(reviewLimit_));
        new_.clear();
    }
    for (auto it = due.rbegin(); it != due.rend(); ++it)
        due_.push_back(it->second);
    // Shuffled, so that neither the unit nor the alphabet gives the answer away; seeded by the day,
    // so that a restart keeps the order.
    std::mt19937_64 random(static_cast<std::uint64_t>(day) * 0x9e3779b97f4a7c15ULL + 1);
    std::shuffle(due_.begin(), due_.end(), random);
    std::shuffle(new_.begin(), new_.end(), random);
    dueStart_ = due_.size();
    newStart_ = new_.size();
    current_ = -1;
    origin_ = Origin::None;
    pickNext();
}

void Session::pickNext()
{
    current_ = -1;
    origin_ = Origin::None;
    const std::int64_t now = clock_();
    const auto soonest = std::min_element(steps_.begin(), steps_.end(), [this](int a, int b) {
        return progressOf(a).dueMs < progressOf(b).dueMs;
    });
    // A step card whose minutes are up, then reviews, then new words, then the step card that is
    // next to come back, rather than nothing.
    const auto asked = std::find_if(asked_.begin(), asked_.end(), [this](const Held& h) { return h.backAfter <= turns_; });
    const bool nothingElse = due_.empty() && new_.empty();
    if (soonest != steps_.end() && (progressOf(*soonest).dueMs <= now || (nothingElse && asked_.empty()))) {
        current_ = *soonest;
        origin_ = Origin::Steps;
        steps_.erase(soonest);
    } else if (asked != asked_.end() || (nothingElse && !asked_.empty())) {
        const auto take = asked != asked_.end() ? asked : asked_.begin();
        current_ = take->card;
        origin_ = Origin::Asked;
        asked_.erase(take);
    } else if (!due_.empty() && (new_.empty() || new_.size() * dueStart_ < due_.size() * newStart_)) {
        // A review, unless the new words have fallen behind their share of the day.
        current_ = due_.back();
        origin_ = Origin::Due;
        due_.pop_back();
    } else if (!new_.empty()) {
        current_ = new_.back();
        origin_ = Origin::New;
        new_.pop_back();
    }
    shownMs_ = now;
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
    return static_cast<int>(new_.size() + asked_.size()) + (origin_ == Origin::New || origin_ == Origin::Asked ? 1 : 0);
}

int Session::addNewWords(int count)
{
    std::vector<int> more;
    for (int i = 0; i < static_cast<int>(cards_.size()) && static_cast<int>(more.size()) < count; ++i) {
        const auto it = progress_.find(cards_[i].word);
        const bool queued = std::find(new_.begin(), new_.end(), i) != new_.end() || i == current_;
        if (!queued && (it == progress_.end() || (it->second.memory.isNew() && it->second.flags == 0)))
            more.push_back(i);
    }
    // After the new words still waiting: the back of new_ is the next one.
    new_.insert(new_.begin(), more.rbegin(), more.rend());
    if (current_ < 0)
        pickNext();
    return static_cast<int>(more.size());
}

void Session::requeue(int card, Origin origin)
{
    switch (origin) {
    case Origin::Due:
        due_.push_back(card);
        break;
    case Origin::New:
        new_.push_back(card);
        break;
    case Origin::Asked:
        asked_.insert(asked_.begin(), {card, 0});
        break;
    case Origin::Steps:
        steps_.push_back(card);
        break;
    case Origin::None:
        break;
    }
}

bool Session::undo()
{
    if (undo_.empty())
        return false;
    const Undo u = undo_.back();
    if (u.logId > 0 && !(store_ && store_->undoAnswer(u.before, u.after, u.logId)))
        return false;
    undo_.pop_back();
    progressOf(u.card) = u.before;
    steps_.erase(std::remove(steps_.begin(), steps_.end(), u.card), steps_.end());
    if (current_ >= 0)
        requeue(current_, origin_);
    current_ = u.card;
    origin_ = u.origin;
    --answered_;
    --turns_;
    shownMs_ = clock_();
    return true;
}

bool Session::currentIsShowing() const
{
    return origin_ == Origin::New && currentIsNew() && !(currentProgress().flags & CardFlag::Shown);
}

bool Session::setFlags(int add, std::int64_t firstDay)
{
    CardProgress& kept = progressOf(current_);
    const auto change = [&](const CardProgress& stored) {
        CardProgress card = stored;
        card.flags |= add;
        if (card.firstReviewDay < 0)
            card.firstReviewDay = firstDay;
        ReviewLogEntry none;
        none.grade = Grade(0);  // no answer: the card alone is written
        return std::pair{card, none};
    };
    bool saved = false;
    if (store_ && store_->isOpen())
        saved = store_->recordAnswer(kept.word, [&](const CardProgress& stored) {
            auto result = change(stored);
            kept = result.first;
            return std::optional{result};
        });
    if (!saved)
        kept = change(kept).first;
    return saved;
}

bool Session::shown()
{
    if (current_ < 0)
        return false;
    const bool saved = setFlags(CardFlag::Shown, today());
    // Asked once a few other cards have gone by, so that it is recalled, not just seen.
    asked_.push_back({current_, ++turns_ + 3});
    pickNext();
    return saved;
}

bool Session::suspend()
{
    if (current_ < 0)
        return false;
    const bool saved = setFlags(CardFlag::Suspended, progressOf(current_).firstReviewDay >= 0 ? progressOf(current_).firstReviewDay : today());
    steps_.erase(std::remove(steps_.begin(), steps_.end(), current_), steps_.end());
    ++turns_;
    pickNext();
    return saved;
}

bool Session::markKnown()
{
    if (current_ < 0)
        return false;
    const bool saved = setFlags(CardFlag::Known | CardFlag::Shown, today());
    ++turns_;
    pickNext();
    return saved;
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
        const auto state = wasNew ? fsrs::CardState::New : static_cast<fsrs::CardState>(std::clamp(current.state, 0, 3));
        const fsrs::Scheduled step = fsrs::schedule(current.memory, state, current.step, elapsed, grade, parameters_);
        CardProgress card = current;
        card.memory = step.memory;
        card.state = static_cast<int>(step.state);
        card.step = step.step;
        card.dueMs = step.minutes > 0 ? now + step.minutes * 60000LL : 0;
        card.dueDay = day + (step.minutes > 0 ? 0 : step.intervalDays);
        card.lastReviewDay = day;
        if (card.firstReviewDay < 0)
            card.firstReviewDay = day;
        ++card.reps;
        if (grade == Grade::Again && state == fsrs::CardState::Review)
            ++card.lapses;
        // Failed this often, the card is marked a leech: the learner is told and may put it away.
        if (grade == Grade::Again && ++card.fails >= kLeechFails)
            card.flags |= CardFlag::Leech;
        ReviewLogEntry log;
        log.timeMs = now;
        log.word = current.word;
        log.mode = mode;
        log.grade = grade;
        log.answerMs = answerMs;
        log.intervalDays = step.minutes > 0 ? 0 : step.intervalDays;
        log.memory = step.memory;
        log.state = static_cast<int>(state);
        return std::pair{card, log};
    };
    CardProgress& kept = progressOf(current_);
    CardProgress after, before = kept;
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
            before = stored;
            auto result = answer(stored);
            after = result.first;
            return result;
        });
    if (!saved)
        after = answer(kept).first;
    kept = after;
    if (stale) {
        ++superseded_;
        if (inSteps(kept))
            steps_.push_back(current_);
        pickNext();
        return true;
    }
    undo_.push_back({current_, origin_, before, kept, saved ? store_->lastLogId() : 0});
    ++answered_;
    ++turns_;
    if (inSteps(kept))
        steps_.push_back(current_);
    pickNext();
    return saved;
}

} // namespace review
