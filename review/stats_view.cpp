#include "review/stats_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace review {

namespace {
StatsViewFactory handedOver = nullptr;
constexpr const char* kModule = "chenxing-review-stats";
} // namespace

void setStatsViewFactory(StatsViewFactory factory)
{
    handedOver = factory;
}

StatsView* makeStatsView(ProgressStore& store, QWidget* parent, QString* why)
{
    if (!handedOver) {
        const QString here = QCoreApplication::applicationDirPath();
        for (const QString& folder : {here, here + QStringLiteral("/../lib/chenxing")}) {
            QLibrary module(QDir::cleanPath(QDir(folder).filePath(QString::fromLatin1(kModule))));
            if (!module.load()) {
                if (why)
                    *why = module.errorString();
                continue;
            }
            handedOver = reinterpret_cast<StatsViewFactory>(module.resolve("chenxingCreateStatsView"));
            if (handedOver)
                break;
        }
    }
    if (!handedOver)
        return nullptr;
    return handedOver(store, parent);
}

} // namespace review
