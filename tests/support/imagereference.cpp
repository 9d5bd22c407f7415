#include "imagereference.h"

#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>

#include <algorithm>
#include <vector>

namespace ImageReference {

namespace {

int channelDistance(QRgb a, QRgb b)
{
    return std::max({ qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
        qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b)) });
}

// A premultiplied pixel as a light grey over white, for the map of differences.
QRgb faded(QRgb pixel)
{
    const int overWhite = qMin(255, qGray(pixel) + 255 - qAlpha(pixel));
    const int gray = 255 - (255 - overWhite) / 4;
    return qRgb(gray, gray, gray);
}

QString percent(double share)
{
    return QString::number(share * 100.0, 'f', share < 0.001 ? 3 : 2) + QStringLiteral(" %");
}

} // namespace

Difference compare(const QImage &actual, const QImage &reference, int channelTolerance,
    const QRect &mask, QImage *map)
{
    Difference result;
    result.sameSize = actual.size() == reference.size();
    if (!result.sameSize) {
        if (map)
            *map = QImage();
        return result;
    }
    const QImage mine = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage theirs = reference.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (map)
        *map = QImage(mine.size(), QImage::Format_RGB32);
    for (int y = 0; y < mine.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(mine.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(theirs.constScanLine(y));
        auto *m = map ? reinterpret_cast<QRgb *>(map->scanLine(y)) : nullptr;
        for (int x = 0; x < mine.width(); ++x) {
            if (mask.contains(x, y)) {
                if (m)
                    m[x] = qRgb(200, 220, 255);
                continue;
            }
            ++result.compared;
            const int distance = channelDistance(p[x], q[x]);
            result.largest = std::max(result.largest, distance);
            if (distance > channelTolerance)
                ++result.differing;
            if (m)
                m[x] = distance > channelTolerance ? qRgb(255, 0, 0) : faded(q[x]);
        }
    }
    return result;
}

QImage compact(const QImage &image, int *largestError)
{
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            ++counts[line[x]];
    }
    // The colours, most frequent first (ties by value, so the same picture always gives the
    // same palette and the same file).
    std::vector<QRgb> colours;
    colours.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        colours.push_back(it.key());
    std::sort(colours.begin(), colours.end(), [&counts](QRgb a, QRgb b) {
        const qint64 ca = counts.value(a);
        const qint64 cb = counts.value(b);
        return ca != cb ? ca > cb : a < b;
    });

    // Farthest-point picking: each next palette colour is the one worst served so far (the
    // most frequent of those); every colour remembers its nearest palette entry.
    std::vector<QRgb> palette;
    std::vector<int> nearest(colours.size(), 0);
    std::vector<int> error(colours.size(), 0);
    if (!colours.empty()) {
        palette.push_back(colours.front());
        for (size_t i = 0; i < colours.size(); ++i)
            error[i] = channelDistance(colours[i], colours.front());
    }
    while (palette.size() < 256) {
        const auto worst = std::max_element(error.cbegin(), error.cend());
        if (worst == error.cend() || *worst == 0)
            break;
        const QRgb picked = colours[size_t(worst - error.cbegin())];
        palette.push_back(picked);
        for (size_t i = 0; i < colours.size(); ++i) {
            const int distance = channelDistance(colours[i], picked);
            if (distance < error[i]) {
                error[i] = distance;
                nearest[i] = int(palette.size()) - 1;
            }
        }
    }
    if (largestError)
        *largestError = error.empty() ? 0 : *std::max_element(error.cbegin(), error.cend());

    QHash<QRgb, int> index;
    for (size_t i = 0; i < colours.size(); ++i)
        index.insert(colours[i], nearest[i]);
    QList<QRgb> table;
    for (QRgb colour : palette)
        table.append(qUnpremultiply(colour));
    QImage result(source.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        uchar *out = result.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
            out[x] = uchar(index.value(line[x]));
    }
    return result;
}

bool saveReference(const QImage &image, const QString &path)
{
    const QImage stored = compact(image);
    // A reference of the same pixels stays as it is (another zlib may pack them otherwise).
    const QImage present(path);
    if (!present.isNull() && present.size() == stored.size()
        && compare(stored, present, 0).differing == 0)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, "png");
    writer.setQuality(0); // for PNG: the strongest compression
    return writer.write(stored);
}

bool renewing()
{
    return qEnvironmentVariable("HELICART_RENEW_IMAGES") == QLatin1String("1");
}

QString mismatch(const QImage &actual, const QString &referencePath, const QString &outputName,
    const QRect &mask, const Tolerance &tolerance)
{
    if (renewing() && !saveReference(actual, referencePath))
        return QStringLiteral("cannot write the reference %1").arg(referencePath);
    const QImage reference(referencePath);
    QImage map;
    const Difference difference = reference.isNull()
        ? Difference()
        : compare(actual, reference, tolerance.channel, mask, &map);
    if (difference.within(tolerance))
        return QString();

    const QString actualPath = TestSupport::saveOutput(actual, outputName + QStringLiteral(".png"));
    QString message;
    if (reference.isNull()) {
        message = QStringLiteral("no reference image %1 (HELICART_RENEW_IMAGES=1 writes it)")
                      .arg(referencePath);
    } else if (!difference.sameSize) {
        message = QStringLiteral("drawn at %1x%2, the reference %3 is %4x%5")
                      .arg(actual.width())
                      .arg(actual.height())
                      .arg(referencePath)
                      .arg(reference.width())
                      .arg(reference.height());
    } else {
        const QString mapPath
            = TestSupport::saveOutput(map, outputName + QStringLiteral("-diff.png"));
        message = QStringLiteral("%1 of the pixels (%2 of %3) differ from %4 by more than %5 in "
                                 "a channel, at most %6 may; differences in %7")
                      .arg(percent(difference.share()))
                      .arg(difference.differing)
                      .arg(difference.compared)
                      .arg(referencePath, QString::number(tolerance.channel),
                          percent(tolerance.share), mapPath);
    }
    return message + QStringLiteral("; the picture drawn is %1").arg(actualPath);
}

} // namespace ImageReference
