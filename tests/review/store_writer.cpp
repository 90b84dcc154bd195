// Records answers to ten words until it is killed; prints the number of each answer once committed.
#include <cstdio>

#include <QCoreApplication>

#include "review/store.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    review::ProgressStore store;
    bool ok = argc > 1 && store.open(QString::fromLocal8Bit(argv[1])) == review::ProgressStore::OpenResult::Ok;
    for (long long n = 1; ok; ++n) {
        ok = store.recordAnswer("w" + std::to_string(n % 10), [n](review::CardProgress c) {
            ++c.reps;
            review::ReviewLogEntry log;
            log.timeMs = n;
            return std::pair{c, log};
        });
        if (ok)
            std::printf("%lld\n", n), std::fflush(stdout);
    }
    std::fprintf(stderr, "%s\n", qPrintable(store.message()));
    return 1;
}
