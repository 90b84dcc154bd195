// Baseline for the start-up benchmark: the least a Qt Widgets program showing Chinese does: one
// window-sized plain-text pane with a few lines of Chinese in the pane font, so the baseline pays
// for the font database as the program must.
#include <QApplication>
#include <QPlainTextEdit>

#include "content/ui.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPlainTextEdit pane;
    pane.setWindowTitle(QStringLiteral("bare"));
    pane.setFont(content::paneFont());
    pane.setPlainText(QStringLiteral("\n                     晨   星   学   堂\n\n"
                                     "            ache  疼痛/照常喝酒\n"
                                     "            beach  海滩/白鸡找虫欢\n"));
    pane.resize(545, 433);
    pane.show();
    return app.exec();
}
