#include <QApplication>
#include <QFileInfo>

#include "content/ui.h"
#include "media/media.h"
#include "review/review_window.h"
#include "review/single_instance.h"
#include "review/store.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // AppDataLocation is then ~/.local/share/chenxing-review.
    QCoreApplication::setApplicationName(QStringLiteral("chenxing-review"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("晨星复习"));
    QGuiApplication::setDesktopFileName(QStringLiteral("chenxing-review"));  // matches the menu entry
    QApplication::setWindowIcon(content::drawnIcon(QStringLiteral("chenxing-review")));
    content::installQtTranslations();
    const QString path = review::ProgressStore::defaultPath();
    // One copy a progress file: a second start shows the running window instead.
    review::SingleInstance one(QFileInfo(path).absolutePath());
    if (!path.isEmpty() && !one.acquire())
        return 0;
    review::ProgressStore store;
    // The controls are made in the window font, so that none lays out its first text in the
    // default font only to load another; menus, tips and boxes keep the default.
    const QFont defaultFont = QApplication::font();
    QApplication::setFont(content::windowFont());
    review::ReviewWindow window(store);
    QApplication::setFont(defaultFont);
    window.setFont(content::windowFont());
    window.show();
    // Sound comes up at the first key or click: a recall card plays only once answered, and a
    // dictation card that plays as it shows loads the module itself.
    media::startOnFirstInput();
    QObject::connect(&one, &review::SingleInstance::showRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
    });
    window.openStore(path);
    return app.exec();
}
