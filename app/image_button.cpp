#include "app/image_button.h"

#include <QAccessibleWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>

#include "content/ui.h"

QPixmap renderSvg(const QString& svg, QSize size, qreal pixelRatio)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}


QIcon programIcon()
{
    return content::drawnIcon(QStringLiteral("chenxing"));
}

namespace {
// The 32 x 32 picture for the screen's pixel ratio: drawn at build time for single and double
// density, from the SVG for any other.
QPixmap toolbarPicture(const QString& svg, qreal pixelRatio)
{
    if (pixelRatio == 1.0 || pixelRatio == 2.0) {
        QPixmap drawn = content::drawnPicture(QFileInfo(svg).completeBaseName(), static_cast<int>(32 * pixelRatio));
        if (!drawn.isNull()) {
            drawn.setDevicePixelRatio(pixelRatio);
            return drawn;
        }
    }
    return renderSvg(svg, QSize(32, 32), pixelRatio);
}

// To assistive technology the picture is a push button that can be pressed.
class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(ImageButton* b)
        : QAccessibleWidget(b, QAccessible::Button)
    {
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            QMetaObject::invokeMethod(widget(), "clicked");
    }
};

QAccessibleInterface* imageButtonAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1String("ImageButton"))
        return new ImageButtonAccessible(static_cast<ImageButton*>(object));
    return nullptr;
}
} // namespace

ImageButton::ImageButton(QWidget* parent, const char* name, const QString& svg, const QString& hint)
    : QLabel(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(&imageButtonAccessible), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(QString::fromLatin1(name));
    setFixedSize(33, 33);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(toolbarPicture(svg, qApp->devicePixelRatio()));
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
