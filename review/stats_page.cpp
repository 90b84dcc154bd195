#include "review/stats_page.h"

#include <algorithm>
#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QStandardPaths>
#include <QValueAxis>

#include "review/export.h"
#include "review/review_window.h"
#include "review/session.h"

namespace review {

namespace {
QChartView* chartView(QChart* chart, const QString& name, QWidget* parent)
{
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(name);
    view->setMinimumSize(360, 220);
    return view;
}

QValueAxis* countAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setMin(0);
    return axis;
}

// A round top that leaves room above the highest bar.
void fit(QValueAxis* axis, double highest)
{
    // Labels of two digits at least: next to one-digit labels the axis is too narrow for its
    // title, which Qt Charts then cuts to "⋮".
    const double top = std::max(10.0, std::ceil(highest * 1.1 / 5) * 5);
    axis->setRange(0, top);
    axis->setTickCount(6);
}

// 30 or 24 bars: a value axis labels every few without cutting labels to "…" as categories do.
QValueAxis* placeAxis(const QString& title, double first, double last, double every, bool reverse)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setRange(first - 0.5, last + 0.5);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(first);
    axis->setTickInterval(every);
    axis->setGridLineVisible(false);
    axis->setReverse(reverse);
    return axis;
}

QString percent(const stats::Retention& r)
{
    return r.total ? QStringLiteral("%1%（%2 次中 %3 次答对）").arg(r.share() * 100, 0, 'f', 1).arg(r.total).arg(r.right)
                   : QStringLiteral("还没有（没有复习已学的词）");
}
} // namespace

StatsPage::StatsPage(ProgressStore& store, QWidget* parent) : StatsView(parent), store_(store)
{
    setAccessibleName(QStringLiteral("统计"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setAccessibleName(QStringLiteral("概况"));
    summary_->setWordWrap(true);
    QFont big = summary_->font();
    big.setPixelSize(18);
    summary_->setFont(big);
    retention_ = new QLabel(this);
    retention_->setObjectName(QStringLiteral("retention"));
    retention_->setAccessibleName(QStringLiteral("实际记住率"));
    retention_->setWordWrap(true);

    // Each unit: new, learning, known.
    auto* units = new QStackedBarSeries;
    const QString unitNames[] = {QStringLiteral("新词"), QStringLiteral("学习中"), QStringLiteral("已掌握（稳定 ≥ 21 天）")};
    const QColor unitColors[] = {QColor(0xc8, 0xc8, 0xc8), QColor(0xf0, 0xa0, 0x30), QColor(0x30, 0xa0, 0x50)};
    for (int i = 0; i < 3; ++i) {
        unitSets_[i] = new QBarSet(unitNames[i]);
        unitSets_[i]->setColor(unitColors[i]);
        units->append(unitSets_[i]);
    }
    auto* unitChart = new QChart;
    unitChart->setTitle(QStringLiteral("各单元的词（每单元 27 词）"));
    unitChart->addSeries(units);
    auto* unitNames2 = placeAxis(QStringLiteral("单元"), 1, stats::kUnits, 2, false);
    unitChart->addAxis(unitNames2, Qt::AlignBottom);
    units->attachAxis(unitNames2);
    unitAxis_ = countAxis(QStringLiteral("词数（个）"));
    unitChart->addAxis(unitAxis_, Qt::AlignLeft);
    units->attachAxis(unitAxis_);

    // Reviews due in the next 30 days.
    auto* due = new QBarSeries;
    dueSet_ = new QBarSet(QStringLiteral("到期复习（今天含逾期）"));
    dueSet_->setColor(QColor(0x40, 0x70, 0xc0));
    due->append(dueSet_);
    auto* dueChart = new QChart;
    dueChart->setTitle(QStringLiteral("今后 30 天的到期复习"));
    dueChart->addSeries(due);
    dueDays_ = placeAxis(QStringLiteral("几天后（0 = 今天）"), 0, stats::kDays - 1, 5, false);
    dueChart->addAxis(dueDays_, Qt::AlignBottom);
    due->attachAxis(dueDays_);
    dueAxis_ = countAxis(QStringLiteral("复习（次）"));
    dueChart->addAxis(dueAxis_, Qt::AlignLeft);
    due->attachAxis(dueAxis_);

    // The last 30 days: answers as bars, minutes as a line.
    auto* reviews = new QBarSeries;
    reviewsSet_ = new QBarSet(QStringLiteral("复习次数（次）"));
    reviewsSet_->setColor(QColor(0x60, 0x90, 0xd0));
    reviews->append(reviewsSet_);
    minutes_ = new QLineSeries;
    minutes_->setName(QStringLiteral("用时（分钟）"));
    minutes_->setColor(QColor(0xd0, 0x40, 0x30));
    minutes_->setPointsVisible(true);
    auto* activityChart = new QChart;
    activityChart->setTitle(QStringLiteral("最近 30 天：每天复习次数和用时"));
    activityChart->addSeries(reviews);
    activityChart->addSeries(minutes_);
    activityDays_ = placeAxis(QStringLiteral("几天前（0 = 今天）"), 0, stats::kDays - 1, 5, true);
    activityChart->addAxis(activityDays_, Qt::AlignBottom);
    reviews->attachAxis(activityDays_);
    minutes_->attachAxis(activityDays_);
    reviewsAxis_ = countAxis(QStringLiteral("复习（次）"));
    activityChart->addAxis(reviewsAxis_, Qt::AlignLeft);
    reviews->attachAxis(reviewsAxis_);
    minutesAxis_ = countAxis(QStringLiteral("用时（分钟）"));
    activityChart->addAxis(minutesAxis_, Qt::AlignRight);
    minutes_->attachAxis(minutesAxis_);

    // True retention beside the desired one.
    auto* kept = new QBarSeries;
    retentionSet_ = new QBarSet(QStringLiteral("记住率（%）"));
    retentionSet_->setColor(QColor(0x30, 0xa0, 0x50));
    kept->append(retentionSet_);
    kept->setLabelsVisible(true);
    kept->setLabelsFormat(QStringLiteral("@value%"));
    auto* keptChart = new QChart;
    keptChart->setTitle(QStringLiteral("实际记住率（已学的词答对，不算“重来”）"));
    keptChart->addSeries(kept);
    auto* keptNames = new QBarCategoryAxis;
    keptNames->append({QStringLiteral("最近 7 天"), QStringLiteral("最近 30 天"), QStringLiteral("目标")});
    keptChart->addAxis(keptNames, Qt::AlignBottom);
    kept->attachAxis(keptNames);
    auto* keptAxis = countAxis(QStringLiteral("记住率（%）"));
    keptAxis->setRange(0, 100);
    keptChart->addAxis(keptAxis, Qt::AlignLeft);
    kept->attachAxis(keptAxis);
    keptChart->legend()->hide();

    retentionBox_ = new QDoubleSpinBox(this);
    retentionBox_->setObjectName(QStringLiteral("desiredRetention"));
    retentionBox_->setAccessibleName(QStringLiteral("目标记住率"));
    retentionBox_->setRange(0.80, 0.95);
    retentionBox_->setSingleStep(0.01);
    retentionBox_->setDecimals(2);
    retentionBox_->setValue(0.90);
    auto* retentionLabel = new QLabel(QStringLiteral("目标记住率(&R)"), this);
    retentionLabel->setBuddy(retentionBox_);
    newWordsBox_ = new QComboBox(this);
    newWordsBox_->setObjectName(QStringLiteral("statsNewWords"));
    newWordsBox_->setAccessibleName(QStringLiteral("每天新词"));
    for (int n : Session::newWordChoices)
        newWordsBox_->addItem(QStringLiteral("%1 个").arg(n), n);
    auto* newLabel = new QLabel(QStringLiteral("每天新词(&W)"), this);
    newLabel->setBuddy(newWordsBox_);
    auto* notes = new QPushButton(QStringLiteral("导出卡片到 Anki(&E)…"), this);
    notes->setObjectName(QStringLiteral("exportNotes"));
    notes->setAccessibleName(QStringLiteral("导出卡片到 Anki"));
    auto* log = new QPushButton(QStringLiteral("导出复习记录(&L)…"), this);
    log->setObjectName(QStringLiteral("exportLog"));
    log->setAccessibleName(QStringLiteral("导出复习记录（FSRS 优化器格式）"));
    exportResult_ = new QLabel(this);
    exportResult_->setObjectName(QStringLiteral("exportResult"));
    exportResult_->setAccessibleName(QStringLiteral("导出结果"));
    exportResult_->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(retentionLabel);
    controls->addWidget(retentionBox_);
    controls->addWidget(newLabel);
    controls->addWidget(newWordsBox_);
    controls->addStretch(1);
    controls->addWidget(notes);
    controls->addWidget(log);
    auto* grid = new QGridLayout;
    grid->addWidget(chartView(unitChart, QStringLiteral("各单元进度图"), this), 0, 0);
    grid->addWidget(chartView(dueChart, QStringLiteral("到期复习图"), this), 0, 1);
    grid->addWidget(chartView(activityChart, QStringLiteral("每天复习图"), this), 1, 0);
    grid->addWidget(chartView(keptChart, QStringLiteral("记住率图"), this), 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(retention_);
    layout->addLayout(grid, 1);
    layout->addLayout(controls);
    layout->addWidget(exportResult_);

    connect(retentionBox_, &QDoubleSpinBox::valueChanged, this, [this](double r) {
        emit desiredRetentionChanged(r);
        retentionSet_->replace(2, r * 100);
        showRetention();
    });
    connect(newWordsBox_, &QComboBox::activated, this,
            [this](int i) { emit dailyNewWordsChanged(newWordsBox_->itemData(i).toInt()); });
    connect(notes, &QPushButton::clicked, this, &StatsPage::exportNotes);
    connect(log, &QPushButton::clicked, this, &StatsPage::exportLog);
}

void StatsPage::setSettings(double retention, int dailyNewWords)
{
    const QSignalBlocker a(retentionBox_), b(newWordsBox_);
    retentionBox_->setValue(retention);
    newWordsBox_->setCurrentIndex(std::max(0, newWordsBox_->findData(dailyNewWords)));
}

void StatsPage::showRetention()
{
    retention_->setText(QStringLiteral("实际记住率：最近 7 天 %1；最近 30 天 %2；目标 %3%")
                            .arg(percent(figures_.week), percent(figures_.month))
                            .arg(retentionBox_->value() * 100, 0, 'f', 0));
}

void StatsPage::refresh(std::int64_t today)
{
    const stats::Figures& f = figures_ = stats::load(store_, today);
    const bool empty = f.logRows == 0 && f.known == 0 &&
                       std::all_of(f.units.begin(), f.units.end(), [](const auto& u) { return u.learning + u.known == 0; });
    QString head = QStringLiteral("已掌握 %1 / %2 个词　已学会 %3 个　见过 %4 个　连续完成 %5 天")
                       .arg(f.known)
                       .arg(f.total)
                       .arg(f.learnt)
                       .arg(f.seen)
                       .arg(f.streak);
    if (!store_.isReadable())
        head += QStringLiteral("\n进度文件没有打开，这里只能显示空的统计。");
    else if (empty)
        head += QStringLiteral("\n还没有复习记录：在“复习”页答过第一张卡片后，这里就会显示你的进度。");
    summary_->setText(head);
    showRetention();

    double highest = 0;
    QList<qreal> sets[3];
    for (auto& set : sets)
        set << 0;  // no unit 0: the bars' places are their units
    for (const auto& u : f.units) {
        sets[0] << u.fresh;
        sets[1] << u.learning;
        sets[2] << u.known;
        highest = std::max<double>(highest, u.fresh + u.learning + u.known);
    }
    for (int i = 0; i < 3; ++i) {
        unitSets_[i]->remove(0, unitSets_[i]->count());
        unitSets_[i]->append(sets[i]);
    }
    fit(unitAxis_, highest);

    QList<qreal> dueCounts, reviewCounts;
    QList<QPointF> minutes;
    double dueTop = 0, reviewTop = 0, minuteTop = 0;
    for (int i = 0; i < stats::kDays; ++i) {
        // The past by days ago, today first, on a reversed axis.
        const auto& day = f.days[stats::kDays - 1 - i];
        dueCounts << f.due[i];
        reviewCounts << day.reviews;
        const double m = day.answerMs / 60000.0;
        minutes << QPointF(i, m);
        dueTop = std::max<double>(dueTop, f.due[i]);
        reviewTop = std::max<double>(reviewTop, day.reviews);
        minuteTop = std::max(minuteTop, m);
    }
    dueSet_->remove(0, dueSet_->count());
    dueSet_->append(dueCounts);
    reviewsSet_->remove(0, reviewsSet_->count());
    reviewsSet_->append(reviewCounts);
    minutes_->replace(minutes);
    fit(dueAxis_, dueTop);
    fit(reviewsAxis_, reviewTop);
    fit(minutesAxis_, minuteTop);
    retentionSet_->remove(0, retentionSet_->count());
    retentionSet_->append({std::round(f.week.share() * 1000) / 10, std::round(f.month.share() * 1000) / 10,
                           retentionBox_->value() * 100});
}

void StatsPage::exportNotes()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出卡片到 Anki"),
                                                      folder + QStringLiteral("/chenxing-cards.txt"),
                                                      QStringLiteral("制表符分隔的文本 (*.txt *.tsv)"));
    if (path.isEmpty())
        return;
    const auto r = exporting::writeNotes(path, allCards(), &ReviewWindow::soundFile);
    exportResult_->setText(r.ok ? r.message + QStringLiteral("在 Anki 中用“文件 → 导入”选择它；录音文件请放进 Anki 的媒体文件夹。")
                                : r.message);
}

void StatsPage::exportLog()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出复习记录"),
                                                      folder + QStringLiteral("/chenxing-revlog.csv"),
                                                      QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    exportResult_->setText(exporting::writeLog(path, store_, allCards()).message);
}

} // namespace review

namespace review {

StatsView* createStatsPage(ProgressStore& store, QWidget* parent)
{
    return new StatsPage(store, parent);
}

} // namespace review
