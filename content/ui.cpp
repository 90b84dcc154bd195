#include "content/ui.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>

namespace content {

QFont paneFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("新宋体"), QStringLiteral("NSimSun"), QStringLiteral("Noto Sans Mono CJK SC")});
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(14);
    return f;
}

QFont windowFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
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
    window->setFont(windowFont());
    window->setFixedSize(client);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
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
    using QPlainTextEdit::QPlainTextEdit;

protected:
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
