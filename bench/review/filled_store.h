// What the store and drill benchmarks share: a progress file with a year of history on the
// whole deck, and the statistics of their one-item repetitions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>

namespace bench {

constexpr int kFilledCards = 648;
constexpr int kFilledLogRows = 100000;
// The learning day the history leads up to; cards fall due from kFilledToday - 10 to + 29.
constexpr qint64 kFilledToday = 20000;

// Writes kFilledCards cards (card i named word(i)) and kFilledLogRows answers into a new store
// at path, in one transaction beside the store's own schema. Returns path.
QString fillStore(const QString& path, const std::function<std::string(int)>& word);

// Statistics over the repetitions of one-item benchmarks.
double p99(const std::vector<double>& v);
double worst(const std::vector<double>& v);

} // namespace bench
