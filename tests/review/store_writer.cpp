// Records answers to ten words until it is killed, taking every third one back at once; prints the
// number of each answer that stands, once committed.
// With --read: opens the file, prints what it reads and whether an answer was saved, and ends.
#include <cstdio>
#include <cstring>

#include <QCoreApplication>

#include "review/store.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    review::ProgressStore store;
    if (argc > 2 && std::strcmp(argv[1], "--read") == 0) {
        const auto result = store.open(QString::fromLocal8Bit(argv[2]));
        const auto cards = store.loadProgress();
        const bool saved = store.recordAnswer("w1", [](review::CardProgress c) { return std::pair{c, review::ReviewLogEntry{}}; });
        std::printf("%d %lld %zu %s %d\n", int(result), static_cast<long long>(store.logCount()), cards.size(),
                    qPrintable(store.setting(QStringLiteral("k"), QStringLiteral("-"))), int(saved));
        return 0;
    }
    bool ok = argc > 1 && store.open(QString::fromLocal8Bit(argv[1])) == review::ProgressStore::OpenResult::Ok;
    for (long long n = 1; ok; ++n) {
        review::CardProgress before, after;
        ok = store.recordAnswer("w" + std::to_string(n % 10), [n, &before, &after](review::CardProgress c) {
            before = c;
            ++c.reps;
            c.state = 1;  // a learning step, back at n
            c.step = int(n % 2);
            c.dueMs = n;
            review::ReviewLogEntry log;
            log.timeMs = n;
            after = c;
            return std::pair{c, log};
        });
        if (ok && n % 3 == 0)
            ok = store.undoAnswer(before, after, store.lastLogId());
        else if (ok)
            std::printf("%lld\n", n), std::fflush(stdout);
    }
    std::fprintf(stderr, "%s\n", qPrintable(store.message()));
    return 1;
}
