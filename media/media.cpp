#include "media/media.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QtDebug>

#include "content/ui.h"

namespace media {

namespace {
constexpr const char* kModule = "chenxing-media";
const Module* current = nullptr;
bool looked = false;

class FirstInput final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            QCoreApplication::instance()->removeEventFilter(this);
            deleteLater();
            start();
            break;
        default:
            break;
        }
        return false;
    }
};
} // namespace

const Module* module()
{
    if (!looked) {
        looked = true;
        QString why;
        if (const auto entry = reinterpret_cast<const Module* (*)()>(
                content::moduleEntry(kModule, "chenxingMediaModule", &why)))
            current = entry();
        else
            qWarning().noquote() << "No sound and speech:" << why;
    }
    return current;
}

bool present()
{
    return looked ? current != nullptr : QFileInfo::exists(content::modulePath(kModule));
}

void start()
{
    if (const Module* loaded = module())
        loaded->startSoundBackEnd();
}

void startOnFirstInput()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstInput(app));
}

void handOver(const Module* module)
{
    current = module;
    looked = module != nullptr;
}

} // namespace media
