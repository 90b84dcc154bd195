#pragma once

#include <QIcon>
#include <QLabel>

// A picture that acts as a button: a 32 x 32 drawing in a 33 x 33 area, hand cursor, left click.
class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(QWidget* parent, const char* name, const QString& svg, const QString& hint);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The program icon for windows, in its 16, 32 and 48 pixel sizes.
QIcon programIcon();
