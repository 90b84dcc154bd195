#pragma once

#include <QApplication>

// The application object with the program's top-level error handler: an error that escapes an
// event handler (a failing call of the voice component, above all) is shown in the error box,
// that event ends there, and the program goes on.
class ChenxingApplication : public QApplication {
public:
    ChenxingApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
