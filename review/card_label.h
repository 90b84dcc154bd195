#pragma once

#include <QLabel>

namespace review {

// A label that shows card content. Its accessible name says what it is ("题目", "汉字码"); its
// text, read through the accessibility text interface, is what it shows, in plain words.
class CardLabel : public QLabel {
public:
    CardLabel(QWidget* parent, const QString& objectName, const QString& what);
    // spoken: how assistive technology reads it; the shown text without markup when empty.
    void setContent(const QString& shown, const QString& spoken = {});
    const QString& spoken() const { return spoken_; }

    // Makes the accessibility interface of every CardLabel, and the review window's.
    static void installAccessibility();

private:
    QString spoken_;
};

} // namespace review
