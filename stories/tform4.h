#pragma once

#include "practice/two_pane.h"

class QComboBox;
class QToolButton;

namespace stories {

// The story window: English reading area above, Chinese reading area below, one input box for
// unit numbers, "000", story numbers and glossary words, and clear / next / previous / exit.
class TForm4 : public practice::TwoPaneForm {
    Q_OBJECT
public:
    TForm4();

    QComboBox* ComboBox1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton4;

    void ShowVocabularyUnit();
    void ShowGlossaryEntry();
    void ShowContents();
    void ShowStory();

public slots:
    void ComboBox1Change();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
};

} // namespace stories
