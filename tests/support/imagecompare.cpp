// Compares two images pixel by pixel, or prints the pixel checksum of images; used by
// scripts/compare-images.sh to tell whether two builds draw the same pictures.
//   imagecompare [--stamp] A B    differing pixels of A and B (--stamp: the time stamp corner
//                                 left out); status 0 when there are none, 1 when there are,
//                                 2 when a file cannot be read
//   imagecompare --sum FILE...    "checksum  name" per file (status 2 when one cannot be read)
#include "testsupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace {

int printSums(const QStringList &files)
{
    int status = 0;
    for (const QString &file : files) {
        const QImage image(file);
        if (image.isNull()) {
            std::fprintf(stderr, "imagecompare: cannot read %s\n", qPrintable(file));
            status = 2;
            continue;
        }
        std::printf("%s  %s\n", TestSupport::pixelChecksum(image).constData(),
            qPrintable(QFileInfo(file).fileName()));
    }
    return status;
}

int compare(const QString &a, const QString &b, bool stamp)
{
    const QImage first(a);
    const QImage second(b);
    if (first.isNull() || second.isNull()) {
        std::fprintf(stderr, "imagecompare: cannot read %s\n", qPrintable(first.isNull() ? a : b));
        return 2;
    }
    if (first.size() != second.size()) {
        std::printf("sizes differ: %dx%d and %dx%d\n", first.width(), first.height(),
            second.width(), second.height());
        return 1;
    }
    const QRect mask = stamp ? TestSupport::timeStampArea(first) : QRect();
    const QImage mine = first.convertToFormat(QImage::Format_ARGB32);
    const QImage theirs = second.convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    QRect box;
    for (int y = 0; y < mine.height(); ++y) {
        for (int x = 0; x < mine.width(); ++x) {
            if (!mask.contains(x, y) && mine.pixel(x, y) != theirs.pixel(x, y)) {
                ++differing;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    if (differing == 0)
        return 0;
    std::printf("%d differing pixels, from (%d, %d) to (%d, %d)\n", differing, box.left(),
        box.top(), box.right(), box.bottom());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--sum"))
        return printSums(arguments.mid(1));
    const bool stamp = arguments.value(0) == QLatin1String("--stamp");
    if (stamp)
        arguments.removeFirst();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: imagecompare [--stamp] A B | imagecompare --sum FILE...\n");
        return 2;
    }
    return compare(arguments.at(0), arguments.at(1), stamp);
}
