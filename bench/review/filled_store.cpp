#include "filled_store.h"

#include <algorithm>
#include <cmath>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include "review/store.h"

namespace bench {

QString fillStore(const QString& path, const std::function<std::string(int)>& word)
{
    review::ProgressStore().open(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN"));
        q.prepare(QStringLiteral("INSERT INTO cards (word, stability, difficulty, last_review_day, due_day, first_review_day,"
                                 " reps, lapses, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 2)"));
        for (int i = 0; i < kFilledCards; ++i) {
            for (const QVariant& v : {QVariant(QString::fromStdString(word(i))), QVariant(1.0 + i % 90), QVariant(5.0),
                                      QVariant(kFilledToday - 1 - i % 30), QVariant(kFilledToday - 10 + i % 40),
                                      QVariant(kFilledToday - i % 300), QVariant(kFilledLogRows / kFilledCards),
                                      QVariant(i % 4)})
                q.addBindValue(v);
            q.exec();
        }
        q.prepare(QStringLiteral("INSERT INTO review_log (time_ms, word, mode, grade, answer_ms, interval_days,"
                                 " stability, difficulty) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        const qint64 yearAgoMs = (kFilledToday - 365) * 86400000LL;
        for (int n = 0; n < kFilledLogRows; ++n) {
            for (const QVariant& v : {QVariant(yearAgoMs + n * 315000LL), QVariant(QString::fromStdString(word(n * 7 % kFilledCards))),
                                      QVariant(n % 2), QVariant(1 + n % 4), QVariant(2500 + n % 3000), QVariant(n % 60),
                                      QVariant(1.0 + n % 90), QVariant(5.0)})
                q.addBindValue(v);
            q.exec();
        }
        q.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return path;
}

double p99(const std::vector<double>& v)
{
    std::vector<double> sorted = v;
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(std::ceil(0.99 * sorted.size())) - 1)];
}

double worst(const std::vector<double>& v)
{
    return *std::max_element(v.begin(), v.end());
}

} // namespace bench
