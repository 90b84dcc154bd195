#include <QApplication>

#include "app/app_error.h"
#include "app/image_button.h"
#include "app/tform1.h"
#include "content/ui.h"
#include "media/media.h"
#include "practice/tform3.h"
#include "speech/tform2.h"
#include "stories/tform4.h"

int main(int argc, char** argv)
{
    ChenxingApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("晨星学堂"));
    QGuiApplication::setDesktopFileName(QStringLiteral("chenxing"));  // matches the menu entry
    QApplication::setWindowIcon(programIcon());
    content::installQtTranslations();

    // The main window's controls are made in the font they show, so that none lays out its first
    // text in the default font only to load another; menus, tips and boxes keep the default.
    const QFont defaultFont = QApplication::font();
    QApplication::setFont(content::paneFont());
    TForm1 form1;
    QApplication::setFont(defaultFont);
    // The main window is on screen before the others are made (they start hidden, in this order).
    // Sound and speech come with the user's first key or click.
    form1.show();
    QCoreApplication::processEvents();
    media::startOnFirstInput();
    speech::TForm2 form2;
    practice::TForm3 form3;
    stories::TForm4 form4;
    form1.setWindows(&form4, &form2, &form3);

    return app.exec();
}
