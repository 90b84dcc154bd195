// The statistics page as a module of its own, loaded by chenxing-review when the page is opened.
#include "review/stats_page.h"

extern "C" Q_DECL_EXPORT review::StatsView* chenxingCreateStatsView(review::ProgressStore& store, QWidget* parent)
{
    return review::createStatsPage(store, parent);
}
