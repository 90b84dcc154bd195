#include "app/image_button.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

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

ImageButton::ImageButton(QWidget* parent, const char* name, const QString& svg, const QString& hint)
    : QLabel(parent)
{
    setObjectName(QString::fromLatin1(name));
    setFixedSize(33, 33);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(renderSvg(svg, QSize(32, 32), qApp->devicePixelRatio()));
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
