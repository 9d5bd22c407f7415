// Compares image files with the tolerance of the image tests, or writes reference images; used
// by scripts/compare-images.sh to tell whether two builds draw the same pictures and to renew
// the example's references.
//   imagecompare [--stamp] A B       how far A is from B (--stamp: the time stamp corner left
//                                    out); status 0 when they match within the tolerance of
//                                    imagereference.h, 1 when they do not, 2 when a file
//                                    cannot be read
//   imagecompare --store FILE DIR    writes each FILE as a reference image into DIR, by name
#include "imagereference.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace {

int store(const QStringList &files, const QString &folder)
{
    int status = 0;
    for (const QString &file : files) {
        const QImage image(file);
        const QString target = folder + QLatin1Char('/') + QFileInfo(file).fileName();
        if (image.isNull() || !ImageReference::saveReference(image, target)) {
            std::fprintf(stderr, "imagecompare: cannot store %s as %s\n", qPrintable(file),
                qPrintable(target));
            status = 2;
        }
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
    const ImageReference::Tolerance tolerance;
    const ImageReference::Difference exact = ImageReference::compare(first, second, 0, mask);
    const ImageReference::Difference beyond
        = ImageReference::compare(first, second, tolerance.channel, mask);
    if (exact.differing == 0) {
        std::printf("equal\n");
        return 0;
    }
    std::printf("%lld pixels differ (largest difference %d), %lld of them (%.3f %%) by more than "
                "%d: %s\n",
        exact.differing, exact.largest, beyond.differing, beyond.share() * 100.0, tolerance.channel,
        beyond.within(tolerance) ? "within the tolerance" : "too many");
    return beyond.within(tolerance) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--store") && arguments.size() >= 3)
        return store(arguments.mid(1, arguments.size() - 2), arguments.last());
    const bool stamp = arguments.value(0) == QLatin1String("--stamp");
    if (stamp)
        arguments.removeFirst();
    if (arguments.size() != 2) {
        std::fprintf(
            stderr, "usage: imagecompare [--stamp] A B | imagecompare --store FILE... DIR\n");
        return 2;
    }
    return compare(arguments.at(0), arguments.at(1), stamp);
}
