#pragma once

#include "review/stats.h"
#include "review/stats_view.h"

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
class StatsPage : public StatsView {
    Q_OBJECT
public:
    explicit StatsPage(ProgressStore& store, QWidget* parent = nullptr);

    void refresh(std::int64_t today) override;
    void showRetention();
    const stats::Figures& figures() const { return figures_; }
    void setSettings(double retention, int dailyNewWords) override;

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

// The factory the module exports, and that programs linking the page hand to setStatsViewFactory.
StatsView* createStatsPage(ProgressStore& store, QWidget* parent);

} // namespace review
