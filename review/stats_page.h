#pragma once

#include <QWidget>

#include "review/stats.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

class QChart;
class QBarSet;
class QBarCategoryAxis;
class QValueAxis;
class QLineSeries;

namespace review {

// 统计: the learner's progress in charts, the two settings, and export.
class StatsPage : public QWidget {
    Q_OBJECT
public:
    explicit StatsPage(ProgressStore& store, QWidget* parent = nullptr);

    void refresh(std::int64_t today);  // reads the store afresh
    const stats::Figures& figures() const { return figures_; }
    void setSettings(double retention, int dailyNewWords);

signals:
    void desiredRetentionChanged(double retention);
    void dailyNewWordsChanged(int count);

private:
    void exportNotes();
    void exportLog();

    ProgressStore& store_;
    stats::Figures figures_;
    QLabel* summary_;
    QLabel* retention_;
    QLabel* exportResult_;
    QDoubleSpinBox* retentionBox_;
    QComboBox* newWordsBox_;
    QBarSet* unitSets_[3];
    QBarSet* dueSet_;
    QBarSet* reviewsSet_;
    QLineSeries* minutes_;
    QBarSet* retentionSet_;
    QValueAxis* unitAxis_;
    QValueAxis* dueAxis_;
    QValueAxis* reviewsAxis_;
    QValueAxis* minutesAxis_;
    QValueAxis* dueDays_;
    QValueAxis* activityDays_;
};

} // namespace review
