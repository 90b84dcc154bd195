#include "review/stats_view.h"

#include "content/ui.h"

namespace review {

namespace {
StatsViewFactory handedOver = nullptr;
} // namespace

void setStatsViewFactory(StatsViewFactory factory)
{
    handedOver = factory;
}

StatsView* makeStatsView(ProgressStore& store, QWidget* parent, QString* why)
{
    if (!handedOver)
        handedOver = reinterpret_cast<StatsViewFactory>(
            content::moduleEntry("chenxing-review-stats", "chenxingCreateStatsView", why));
    if (!handedOver)
        return nullptr;
    return handedOver(store, parent);
}

} // namespace review
