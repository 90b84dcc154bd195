#pragma once

#include "practice/two_pane.h"

class QComboBox;
class QLabel;

namespace practice {

// The practice window: a unit's word sheet above, a unit's code sheet below.
class TForm3 : public TwoPaneForm {
    Q_OBJECT
public:
    TForm3();

    QLabel* Label1;
    QComboBox* ComboBox1;
    QLabel* Label3;
    QComboBox* ComboBox2;

public slots:
    void ComboBox1Change();
    void ComboBox2Change();
};

// An editable input box of the bottom panels: pane font, empty list, nothing added on Enter.
QComboBox* makeInputBox(QWidget* parent, const char* name, QRect geometry, const QString& text);

} // namespace practice
