#pragma once

#include <cstdint>

#include <QString>
#include <QWidget>

namespace review {

class ProgressStore;

// The statistics page as the window sees it. Its charts (Qt Charts, which brings OpenGL) live
// in a module loaded when the page is first opened, so they cost the start-up nothing.
class StatsView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void refresh(std::int64_t today) = 0;  // reads the store afresh
    virtual void setSettings(double retention, int dailyNewWords) = 0;

signals:
    void desiredRetentionChanged(double retention);
    void dailyNewWordsChanged(int count);
};

using StatsViewFactory = StatsView* (*)(ProgressStore& store, QWidget* parent);

// Programs that link the page themselves (benchmarks) hand it over here.
void setStatsViewFactory(StatsViewFactory factory);

// The page: from the factory handed over, else from the module chenxing-review-stats in the
// package's lib/chenxing. Null where there is none; `why` then says so.
StatsView* makeStatsView(ProgressStore& store, QWidget* parent, QString* why);

} // namespace review
