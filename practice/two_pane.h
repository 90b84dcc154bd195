#pragma once

#include <QFrame>
#include <QWidget>

class QPlainTextEdit;

namespace practice {

class TwoPaneForm;

// The divider bar: pressing the left button on it starts a drag with the bar as its source
// (automatic drag mode); while the button is held, every move is offered to the control under
// the cursor, and only the panes accept it.
class DividerBar : public QFrame {
    Q_OBJECT
public:
    DividerBar(TwoPaneForm* form, int height);
    bool dragging() const { return dragging_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TwoPaneForm* form_;
    bool dragging_ = false;
};

// Two stacked panes, the divider bar between them and a bottom panel of input controls.
// The top pane's height decides everything: the bar follows its bottom edge and the bottom pane
// fills what is left above the bottom panel.
class TwoPaneForm : public QWidget {
    Q_OBJECT
public:
    TwoPaneForm(QSize client, const QString& caption, int barHeight, int bottomHeight);

    QPlainTextEdit* Memo1;
    DividerBar* Panel1;
    QPlainTextEdit* Memo2;
    QWidget* Panel2;

    // Drag-over handlers of the two panes: accept only a drag whose source is the bar, and then
    // set the top pane's height to the sender's top edge plus Y (client coordinates).
    void Memo1DragOver(QObject* Sender, QObject* Source, int X, int Y, int State, bool& Accept);
    void Memo2DragOver(QObject* Sender, QObject* Source, int X, int Y, int State, bool& Accept);

    // Offers a drag from the bar at a point in this window's coordinates to the control there;
    // returns whether it was accepted.
    bool dragOver(QObject* source, QPoint windowPoint);

    void setTopHeight(int height);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void paneDragOver(QObject* sender, QObject* source, int y, bool& accept);
    void relayout();
    int topHeight_ = 197;
};

} // namespace practice
