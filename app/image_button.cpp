#include "app/image_button.h"

#include <QAccessibleWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>

#include "content/ui.h"

QIcon programIcon()
{
    return content::drawnIcon(QStringLiteral("chenxing"));
}

namespace {
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
    setPixmap(content::picture(svg, 32, qApp->devicePixelRatio()));
    setCursor(Qt::PointingHandCursor);
    setToolTip(hint);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
