#include "content/ui.h"

#include <QAccessibleWidget>
#include <QDropEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

namespace content {

QFont paneFont()
{
    QFont f;
    // AR PL UMing is a 宋体 with the metrics the layouts were made for (14.7 px lines); the Noto
    // fallback has the same widths but 20.3 px lines, so panes show a third fewer of them.
    f.setFamilies({QStringLiteral("新宋体"), QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("Noto Sans Mono CJK SC")});
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(14);
    return f;
}

QFont windowFont()
{
    QFont f;
    // Chinese in the window font falls back to the panes' 宋体, as a Chinese desktop links it to
    // its 宋体; that also spares loading a second large Chinese font at start-up.
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing CN"),
                   QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(11);
    return f;
}

namespace {
// Our windows are plain widgets; tell assistive technology they are windows, not fillers.
QAccessibleInterface* windowAccessible(const QString&, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (w && w->isWindow() && w->property("chenxingWindow").toBool())
        return new QAccessibleWidget(w, QAccessible::Window, w->windowTitle());
    return nullptr;
}
} // namespace

bool installQtTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void setupFixedWindow(QWidget* window, QSize client, const QString& caption, bool minimizeOnly)
{
    static const bool factoryInstalled = (QAccessible::installFactory(&windowAccessible), true);
    Q_UNUSED(factoryInstalled);
    window->setProperty("chenxingWindow", true);
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;
    if (!minimizeOnly)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    window->setWindowFlags(flags);
    window->setWindowTitle(caption);
    window->setFixedSize(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

void applyWindowFont(QWidget* window)
{
    window->setFont(windowFont());
}

namespace {
// A pane that takes a pasted or dropped plain text straight into its document. Qt first builds
// the text as a document of its own and then copies it over block by block, which makes a paste
// of a whole book (1 MB) about three times slower. The text, the caret, the one undo step and
// the formats come out the same. Qt's own path is kept where its undo would put the caret
// elsewhere (inserting at the very start of a non-empty pane, no selection), for an empty text
// (Qt leaves the selection alone) and for Markdown (Qt converts it).
class Pane final : public QPlainTextEdit {
public:
    explicit Pane(QWidget* parent) : QPlainTextEdit(parent)
    {
        // Tab moves on through the window's controls; it never types into a pane.
        setTabChangesFocus(true);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        // Qt types the tab after all when no other control takes the focus (the read-aloud
        // window has only its pane).
        if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
            && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            event->ignore();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

    // No text drags into a pane, from itself, the other pane or elsewhere: in the two-pane
    // windows only the divider bar drags, and it does so without Qt's drag and drop.
    void dragEnterEvent(QDragEnterEvent* event) override { event->ignore(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->ignore(); }
    void dropEvent(QDropEvent* event) override { event->ignore(); }

    void insertFromMimeData(const QMimeData* source) override
    {
        QTextCursor cursor = textCursor();
        const bool direct = source && (textInteractionFlags() & Qt::TextEditable) && source->hasText()
                            && source->formats().value(0) != QLatin1String("text/markdown")
                            && (cursor.hasSelection() || cursor.position() != 0 || document()->isEmpty());
        const QString text = direct ? source->text() : QString();
        if (text.isEmpty()) {
            QPlainTextEdit::insertFromMimeData(source);
            return;
        }
        cursor.insertText(text);
        setTextCursor(cursor);
        ensureCursorVisible();
    }
};
} // namespace

QPlainTextEdit* makeTextEdit(QWidget* parent)
{
    return new Pane(parent);
}

QPlainTextEdit* makePane(QWidget* parent, const char* name)
{
    QPlainTextEdit* pane = makeTextEdit(parent);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setFont(paneFont());
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    pane->document()->setDocumentMargin(2);  // room for 53 columns in the main window
    pane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return pane;
}

} // namespace content
