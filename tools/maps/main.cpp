// torvane_mapgen INPUT_DIR OUTPUT_DIR [MAP NAME...]
// Draws the shipped map images from the pinned world-atlas TopoJSON files in INPUT_DIR into
// OUTPUT_DIR as "<name>.jpg"; with names given, only those maps.

#include "MapPainter.h"
#include "TopoJson.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>

using namespace torvane::mapgen;

namespace {
constexpr qint64 kMaxFileBytes = 1500 * 1000;

// JPEG at the best quality that stays under the size limit.
QByteArray encode(const QImage &image)
{
    QByteArray bytes;
    for (int quality = 92; quality >= 50; quality -= 4) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(quality);
        writer.setOptimizedWrite(true);
        if (!writer.write(image))
            return QByteArray();
        if (bytes.size() <= kMaxFileBytes)
            break;
    }
    return bytes;
}
}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: torvane_mapgen INPUT_DIR OUTPUT_DIR [MAP NAME...]\n");
        return 2;
    }
    const QDir input(args[1]);
    const QDir output(args[2]);
    const QStringList only = args.mid(3);

    Topology coarse, fine;
    QString error;
    if (!coarse.load(input.filePath(QStringLiteral("countries-50m.json")), &error)
        || !fine.load(input.filePath(QStringLiteral("countries-10m.json")), &error)) {
        std::fprintf(stderr, "cannot read the TopoJSON input: %s\n", qPrintable(error));
        return 1;
    }

    for (const MapSheet &sheet : shippedMaps()) {
        if (!only.isEmpty() && !only.contains(sheet.name))
            continue;
        const QImage image = drawMap(sheet, sheet.fineData ? fine : coarse);
        const QByteArray bytes = encode(image);
        const QString path = output.filePath(sheet.name + QStringLiteral(".jpg"));
        QSaveFile file(path);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
            || !file.commit()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%-20s %4d x %4d  %7lld bytes\n", qPrintable(sheet.name), image.width(),
                    image.height(), static_cast<long long>(bytes.size()));
    }
    return 0;
}
