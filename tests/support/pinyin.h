#pragma once

#include <map>
#include <string>
#include <vector>

#include <QString>

namespace testsupport {

// The letter a pinyin syllable gives under the letter table of the character code.
char letterOf(const QString& syllable);

// Usual readings, as the independent `pinyin -s zhao` command prints them, for every character
// of the text. Empty if the command is missing.
std::map<QChar, QString> usualReadings(const QString& text);

struct SecondReading {
    QChar character;
    QString reading;
    QString word;  // the word of the phrase that carries the reading
};
// The reviewed list of second readings (content/data/readings.txt).
std::vector<SecondReading> secondReadings();

// Checks that a character code spells the word; returns the problems, empty if it does.
// Counts in *usedSecond how many characters needed a second reading.
QStringList codeProblems(const QString& word, const QString& code, const std::map<QChar, QString>& usual,
                         const std::vector<SecondReading>& seconds, int* usedSecond = nullptr);

} // namespace testsupport
