#pragma once

#include <functional>
#include <span>
#include <string_view>

#include <QString>

#include "review/cards.h"
#include "review/store.h"

// The learner's words and answers taken along: notes for Anki, the log for the FSRS optimiser.
namespace review::exporting {

// The transcription part of a phonetic line ("saturday   /   5sAtEdeI, 5sAtEdI") in Unicode IPA.
QString ipaOf(std::string_view phonetic);

struct Result {
    bool ok = false;
    QString message;  // for the learner, in Chinese
    int rows = 0;
    int sounds = 0;
};

// Tab-separated notes: word, meaning, 汉字码, IPA, unit tag, [sound:…]; each recording that
// soundFile finds is copied beside the file as chenxing-<word>.wav.
Result writeNotes(const QString& path, std::span<const Card> cards,
                  const std::function<QString(std::string_view)>& soundFile);
// card_id,review_time,review_rating,review_state,review_duration; card_id is the index in cards.
Result writeLog(const QString& path, ProgressStore& store, std::span<const Card> cards);

} // namespace review::exporting
