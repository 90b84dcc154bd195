#pragma once

#include <QList>
#include <QString>

// The top-level windows another process shows on the X server, found by the process id Qt
// writes into every window it maps, and closed the way a window manager closes them.
class XWindows {
public:
    XWindows();
    ~XWindows();
    XWindows(const XWindows&) = delete;
    XWindows& operator=(const XWindows&) = delete;

    bool connected() const { return display_ != nullptr; }

    struct Window {
        unsigned long id;
        QString title;
    };
    // The mapped top-level windows of the process.
    QList<Window> shown(qint64 pid);

    // Asks the window to close (WM_DELETE_WINDOW), as the title bar's close button does.
    void close(unsigned long window);

private:
    void collect(unsigned long parent, qint64 pid, int depth, QList<Window>& out);
    struct _XDisplay* display_;
};
