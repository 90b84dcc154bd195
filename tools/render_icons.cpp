// chenxing-render-icons [--raw] SVG OUTDIR SIZE...
// Renders the program's SVG icon into the hicolor layout OUTDIR/<n>x<n>/apps/<name>.png, one
// PNG per size, for menus and panels that do not draw SVG themselves. With --raw the pixels are
// written as they lie in memory (premultiplied ARGB32, <name>.argb), for the program to show
// without decoding anything at start-up.
#include <cstdio>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: chenxing-render-icons SVG OUTDIR SIZE...\n");
        return 2;
    }
    const bool raw = argc > 1 && std::strcmp(argv[1], "--raw") == 0;
    if (raw) {
        ++argv;
        --argc;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "chenxing-render-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName();
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "chenxing-render-icons: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString file = QStringLiteral("%1/%2.%3").arg(dir, name, raw ? QStringLiteral("argb") : QStringLiteral("png"));
        const auto write = [&] {
            if (!raw)
                return image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG");
            QFile out(file);
            const auto bytes = static_cast<qint64>(image.sizeInBytes());
            return out.open(QIODevice::WriteOnly) && out.write(reinterpret_cast<const char*>(image.constBits()), bytes) == bytes;
        };
        if (!QDir().mkpath(dir) || !write()) {
            std::fprintf(stderr, "chenxing-render-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
