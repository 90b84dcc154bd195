#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace review {

class ProgressStore;

// Every card, found by word, meaning or code, filtered by unit and state, with its due day, answers,
// lapses and answer history; the learner suspends, takes back, marks known or resets a card here.
class WordListPage : public QWidget {
    Q_OBJECT
public:
    WordListPage(ProgressStore& store, QWidget* parent = nullptr);

    // Reads the progress afresh; learningDay: today, for the due column.
    void refresh(std::int64_t learningDay);
    // Shows only the rows that match the search text, unit and state.
    void filter();
    int shownRows() const;

signals:
    // A card was changed here: the drill takes it into account.
    void cardsChanged();

private:
    void showDetails();
    void change(int action);

    ProgressStore& store_;
    std::int64_t today_ = 0;
    QLineEdit* search_;
    QComboBox* unit_;
    QComboBox* state_;
    QTreeWidget* list_;
    QLabel* details_;
    QPushButton* suspend_;
    QPushButton* known_;
    QPushButton* reset_;
};

} // namespace review
