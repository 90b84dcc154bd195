#pragma once

#include <vector>

#include <QString>
#include <QWidget>

#include <memory>

#include "review/answer.h"
#include "review/session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;
class QTabWidget;
class QTimer;

namespace dictionary {
class SoundOutput;
}

namespace review {

class CardLabel;
class ProgressStore;
class StatsView;
class WordListPage;

// The card drill: recall (meaning → word) and dictation (recording → word), graded 1-4.
class ReviewWindow : public QWidget {
    Q_OBJECT
public:
    enum class ModeChoice { Recall = 0, Dictation = 1, Mixed = 2 };

    explicit ReviewWindow(ProgressStore& store, Session::Clock clock = {}, QWidget* parent = nullptr);
    ~ReviewWindow() override;

    // Opens the progress file, asking before a file that is not ours is moved aside, then
    // starts today's session. Without a store the drill runs unsaved, as the banner says.
    void openStore(const QString& path);
    // Today's session afresh (after the day changed, or the daily new words).
    void restart();
    // Moves to the new learning day when it has begun (04:00, a resume, a clock change), unless
    // the learner is midway through a card.
    void checkDay();
    // The card's text size in percent: Ctrl+= / Ctrl+- / Ctrl+0.
    int cardScale() const { return scale_; }
    void setCardScale(int percent);

    Session& session() { return session_; }
    Mode currentMode() const { return cardMode_; }
    bool showingBack() const { return back_; }
    bool showingNewWord() const { return studying_; }
    // The file the last play asked for, found or not.
    QString lastSound() const { return lastSound_; }

    // The statistics page, made when first shown (Alt+2); null before.
    StatsView* statsPage() { return stats_; }
    void showPage(int index);  // 0 复习, 1 统计, 2 词表
    WordListPage* wordList();  // made on first use

    // The recording's file: the table's path under the program's sound folder.
    static QString soundFile(std::string_view tablePath);

    // The English of cards and answers: a face where l, 1, I and O, 0 differ at a glance.
    static QFont englishFont(int pixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setModeChoice(ModeChoice choice);
    void setDailyNewWords(int count);
    void showFront();
    // A new word shown whole before it is asked: word, phonetic line, meaning, code, senses.
    void showStudy(const Card& card);
    void studyDone();
    void markKnown();  // 斩
    void leaveStudy(bool known);
    void showBack(bool typed);
    void commitGrade(Grade grade);
    void commitPreselected();
    void updateCounts();
    void play();
    void showBanner(const QString& text);
    void setDesiredRetention(double retention);
    void saveSetting(const char* key, const QString& value);
    void applySettings();
    void applyScale();
    void armDayTimer();
    void offerBackup(const QString& path);

    ProgressStore& store_;
    Session::Clock clock_;
    int scale_ = 100;
    QTimer* dayTimer_;
    Session session_;
    ModeChoice choice_ = ModeChoice::Recall;
    Mode cardMode_ = Mode::Recall;
    bool back_ = false;
    bool studying_ = false;
    bool openingCard_ = false;  // the card shown as the store opens
    int preselected_ = 0;  // a Grade, 0 = none
    QString lastSound_;

    QLabel* banner_;
    CardLabel* counts_;
    QComboBox* modeBox_;
    QComboBox* newWordsBox_;
    QComboBox* limitBox_;   // reviews a day
    QPushButton* moreNew_;  // on the finished screen: 再学
    QCheckBox* autoSound_;
    CardLabel* prompt_;
    CardLabel* unit_;
    QLineEdit* answer_;
    CardLabel* notice_;  // under the answer: the other card's word was typed
    QWidget* backPanel_;
    CardLabel* word_;
    CardLabel* code_;
    CardLabel* phonetic_;
    CardLabel* feedback_;
    QPushButton* grades_[4];
    QPushButton* goOn_;   // the new word's card: on to the next
    QPushButton* known_;  // 斩
    std::vector<QShortcut*> backKeys_;  // on only while the back shows
    QLabel* hint_;
    CardLabel* finished_;
    QTabWidget* tabs_;
    QWidget* statsHolder_;
    StatsView* stats_ = nullptr;
    QWidget* wordListHolder_;
    WordListPage* wordList_ = nullptr;  // made when first shown
    bool statsMissing_ = false;
    std::unique_ptr<dictionary::SoundOutput> sound_;  // made on first play
};

} // namespace review
