#include "content/ui.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QResource>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLibrary>
#include <QLibraryInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTranslator>
#include <QWidget>
#include <QWindow>

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

QString modulePath(const char* module)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/chenxing/")
                           + QString::fromLatin1(module) + QStringLiteral(".so"));
}

QFunctionPointer moduleEntry(const char* module, const char* entry, QString* why)
{
    QLibrary library(modulePath(module));
    QFunctionPointer found = library.load() ? library.resolve(entry) : nullptr;
    if (!found && why)
        *why = library.errorString();
    return found;
}

QPoint centredIn(const QRect& area, QSize size)
{
    return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

namespace {
constexpr Qt::WindowStates kSizedStates = Qt::WindowMaximized | Qt::WindowFullScreen;

// Keeps a fixed-size window at its size and centres it as the user sees it. Window managers and
// compositors may maximize or full-screen it anyway (Qt's own title bar on Wayland always offers
// maximize, xfwm4 and openbox offer full screen): the window then goes straight back to normal.
// On Wayland a maximized window must take the configured size exactly or the compositor ends the
// connection, so while the compositor holds it maximized the size limits are lifted.
class FixedWindowKeeper final : public QObject {
public:
    FixedWindowKeeper(QWidget* window, QSize client) : QObject(window), window_(window), client_(client)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            watchRequests();
            break;
        case QEvent::WindowStateChange:
            if (window_->windowState() & kSizedStates)
                QMetaObject::invokeMethod(
                    window_, [w = window_] { w->setWindowState(w->windowState() & ~kSizedStates); }, Qt::QueuedConnection);
            break;
        case QEvent::Resize:
            if (lifted_ && !(window_->windowState() & kSizedStates) && window_->size() == client_) {
                lifted_ = false;
                window_->setFixedSize(client_);
            }
            break;
        case QEvent::Move:
        case QEvent::WindowActivate:
            centreFrame();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Qt's Wayland title bar asks for the state on the window itself; the request goes out before
    // the compositor answers, so the limits can be lifted in time.
    void watchRequests()
    {
        QWindow* handle = window_->windowHandle();
        if (watching_ || !handle || QGuiApplication::platformName() != QLatin1String("wayland"))
            return;
        watching_ = true;
        connect(handle, &QWindow::windowStateChanged, this, [this](Qt::WindowState state) {
            if ((state & kSizedStates) && !lifted_) {
                lifted_ = true;
                window_->setMinimumSize(0, 0);
                window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            }
        });
    }

    // Once the window manager has framed the window, the frame is what sits at the centre.
    void centreFrame()
    {
        if (centred_ || !window_->isVisible())
            return;
        const QRect frame = window_->frameGeometry();
        if (frame.size() == window_->size())
            return;
        centred_ = true;
        if (const QScreen* screen = window_->screen())
            window_->move(centredIn(screen->availableGeometry(), frame.size()));
    }

    QWidget* window_;
    QSize client_;
    bool watching_ = false;
    bool lifted_ = false;
    bool centred_ = false;
};
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
    window->setFixedSize(client);
    // Where the window system lets a client place itself (X11); a Wayland compositor places it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(centredIn(area, client));
    }
    new FixedWindowKeeper(window, client);
}

QPixmap drawnPicture(const QString& name, int size, const QString& folder)
{
    const QResource raw(QStringLiteral("%1/%2x%2/apps/%3.argb").arg(folder).arg(size).arg(name));
    if (!raw.isValid() || raw.compressionAlgorithm() != QResource::NoCompression
        || raw.size() != qint64(size) * size * 4)
        return {};
    return QPixmap::fromImage(QImage(raw.data(), size, size, QImage::Format_ARGB32_Premultiplied));
}

QPixmap picture(const QString& svg, int size, qreal pixelRatio, const QString& folder)
{
    if (pixelRatio == 1.0 || pixelRatio == 2.0) {
        QPixmap drawn = drawnPicture(QFileInfo(svg).completeBaseName(), static_cast<int>(size * pixelRatio), folder);
        if (!drawn.isNull()) {
            drawn.setDevicePixelRatio(pixelRatio);
            return drawn;
        }
    }
    return QIcon(svg).pixmap(QSize(size, size), pixelRatio);
}

QIcon buttonIcon(const QString& svg, int size, const QString& folder)
{
    return QIcon(picture(svg, size, qGuiApp->devicePixelRatio(), folder));
}

QIcon drawnIcon(const QString& name)
{
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addPixmap(drawnPicture(name, size));
    return icon;
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

    // A read-only pane has no caret: a frame inside its edge shows a keyboard user where the focus is.
    void paintEvent(QPaintEvent* event) override
    {
        QPlainTextEdit::paintEvent(event);
        if (hasFocus() && isReadOnly()) {
            QPainter p(viewport());
            p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            p.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
        }
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusOutEvent(event);
        viewport()->update();
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
