// Build-time tool: renders an SVG to a square ICO file.
//   vk-makeico <input.svg> <output.ico> <size>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: vk-makeico <input.svg> <output.ico> <size>\n");
        return 2;
    }
    const int side = QByteArray(argv[3]).toInt();
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid() || side <= 0) {
        std::fprintf(stderr, "vk-makeico: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();

    QImageWriter writer(QString::fromLocal8Bit(argv[2]), "ico");
    if (!writer.write(image)) {
        std::fprintf(stderr, "vk-makeico: cannot write %s: %s\n", argv[2], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
