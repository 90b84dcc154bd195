// Renders the windows in typical states to PNG files, for the README and the AppStream listing.
// Usage: chenxing-screenshots OUTDIR
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "app/tform1.h"
#include "practice/tform3.h"
#include "speech/tform2.h"
#include "stories/tform4.h"

namespace {
void save(QWidget* w, const QString& dir, const char* name)
{
    w->show();
    QTest::qWaitForWindowExposed(w);
    QApplication::processEvents();
    w->grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}
void type(QComboBox* box, const char* text)
{
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), QString::fromLatin1(text));
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    TForm1 f1(nullptr);
    save(&f1, out, "main-start.png");
    type(f1.ComboBox1, "back");
    save(&f1, out, "main-back.png");
    f1.PopupMenu2->findChild<QAction*>("N3")->trigger();
    save(&f1, out, "main-rules.png");
    f1.PopupMenu2->findChild<QAction*>("N7")->trigger();
    save(&f1, out, "main-about.png");

    practice::TForm3 f3;
    type(f3.ComboBox1, "003");
    type(f3.ComboBox2, "017");
    save(&f3, out, "practice-003-017.png");

    stories::TForm4 f4;
    type(f4.ComboBox1, "003");
    type(f4.ComboBox1, "manner");
    save(&f4, out, "story-003-manner.png");

    speech::TForm2 f2;  // the desktop's voice: a failed creation would stop here at its message
    save(&f2, out, "read-aloud.png");
    return 0;
}
