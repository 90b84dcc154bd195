#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "review/cards.h"
#include "review/fsrs.h"
#include "review/model.h"

namespace review {

class ProgressStore;

// Today's drill: the due reviews and the day's new words, each shuffled (the same order all day) and
// the new ones spread among the reviews; a card in its learning
// steps (a new word, or one answered Again) comes back when its minutes are up, or at once when
// nothing else is left, until it leaves them for a whole-day interval. Every step is stored.
class Session {
public:
    using Clock = std::function<std::int64_t()>;  // ms since the epoch
    static std::int64_t systemClock();
    static constexpr int newWordChoices[] = {27, 54, 108};
    static constexpr int kLeechFails = 8;

    // store may be null or closed: the progress then lives in memory for the session.
    explicit Session(ProgressStore* store, Clock clock = systemClock,
                     std::span<const Card> cards = allCards());

    void setDailyNewWords(int count);  // takes effect at the next start()
    // At most this many reviews a day (0: no limit); when more are due, no new words come that
    // day. Takes effect at the next start().
    void setReviewLimit(int count) { reviewLimit_ = std::max(0, count); }
    int reviewLimit() const { return reviewLimit_; }
    bool overLimit() const { return dueToday_ > reviewLimit_ && reviewLimit_ > 0; }
    int dueToday() const { return dueToday_; }  // reviews due when the day began, before the limit
    // More new words today, after the day's are done: the next ones in card order. Returns how many.
    int addNewWords(int count);
    int dailyNewWords() const { return dailyNew_; }
    // For the answers that follow; the intervals already given stay.
    void setDesiredRetention(double retention);
    double desiredRetention() const { return parameters_.desiredRetention; }

    // Builds the session of the clock's learning day from the stored (or in-memory) progress.
    void start();
    // The store was opened anew: the next start() reads it, read-only or not.
    void storeReopened() { readOnlyLoaded_ = false; }
    std::int64_t today() const;
    std::int64_t day() const { return day_; }  // the learning day start() built
    bool dayChanged() const { return today() != day_; }

    bool finished() const { return current_ < 0; }
    const Card* current() const;
    const CardProgress& currentProgress() const;
    bool currentIsNew() const;
    // The current card is a new word to be shown whole before it is asked.
    bool currentIsShowing() const;
    // The new word has been shown: it is asked a few cards later. False if not saved.
    bool shown();
    // 斩: the learner knows the current word; it never comes again. False if not saved.
    bool markKnown();
    // Puts the current card away (a leech, say) until the learner takes it back. False if not saved.
    bool suspend();
    // Marks the moment the card is shown: the answer time counts from here.
    void cardShown();
    // Records the grade of the current card and moves on. False if the answer was not saved
    // (it is then kept in memory).
    bool grade(Grade grade, Mode mode);
    // Takes back the last grade of the session, and again the one before: the card as it was,
    // its log row gone, and the card shown again. False if there is none or it could not be.
    bool undo();
    bool canUndo() const { return !undo_.empty(); }

    int dueLeft() const;
    int newLeft() const;  // new words still to show or ask
    // Cards in their learning steps, the one showing included.
    int setAside() const { return static_cast<int>(steps_.size()) + (origin_ == Origin::Steps ? 1 : 0); }
    int answered() const { return answered_; }
    // Answers dropped because another copy had answered the card since this session read it.
    int superseded() const { return superseded_; }
    int newIntroducedToday() const;
    int dueOn(std::int64_t day) const;  // cards whose next review falls on that day

private:
    enum class Origin { None, Due, New, Asked, Steps };
    struct Held {
        int card;
        int backAfter;  // asked once this many cards have gone by
    };
    struct Undo {
        int card;
        Origin origin;
        CardProgress before, after;
        std::int64_t logId;  // 0: kept in memory only
    };
    void requeue(int card, Origin origin);
    // Changes the current card's stored flags and the in-memory copy, in one transaction.
    bool setFlags(int add, std::int64_t firstDay);
    void pickNext();
    CardProgress& progressOf(int card);

    ProgressStore* store_;
    Clock clock_;
    std::span<const Card> cards_;
    int dailyNew_ = 54;
    int reviewLimit_ = 200;
    std::size_t dueStart_ = 0, newStart_ = 0;  // at the day's start: new words are spread among reviews
    int dueToday_ = 0;
    fsrs::Parameters parameters_;
    std::map<std::string, CardProgress, std::less<>> progress_;
    std::vector<int> due_, new_;  // card indexes, next first at the back
    std::vector<int> steps_;      // card indexes in their learning steps
    std::vector<Held> asked_;     // new words shown, to be asked
    int turns_ = 0;               // cards gone by: shown, marked or answered
    std::vector<Undo> undo_;
    int current_ = -1;
    Origin origin_ = Origin::None;
    std::int64_t shownMs_ = 0;
    int answered_ = 0;
    int superseded_ = 0;
    bool readOnlyLoaded_ = false;  // a read-only store is read once; the answers then live here
    std::int64_t day_ = -1;
};

} // namespace review
