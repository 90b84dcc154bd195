#include "app/app_error.h"

#include <exception>

#include "speech/tform2.h"
#include "speech/voice_text.h"

ChenxingApplication::ChenxingApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool ChenxingApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const speech::VoiceError& e) {
        speech::showErrorBox(e.message());
    } catch (const std::exception& e) {
        speech::showErrorBox(QString::fromUtf8(e.what()));
    }
    return true;  // the failed event ends here; nothing else is to handle it
}
