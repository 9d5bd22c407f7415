#include "vectordrawing.h"

#include "sourcedate.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSize>
#include <QSvgGenerator>
#include <QThread>

#include <memory>

namespace {

// Points per pixel at the drawings' resolution.
constexpr double kPointsPerPixel = 72.0 / VectorDrawing::kResolution;

// Runs painting on an active painter of device; false when the painter cannot begin.
bool paintOn(QPaintDevice *device, const VectorDrawing::Painting &painting)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    painting(&painter);
    return painter.end();
}

// The offset from UTC of a PDF date's end: "Z", "+01'00'" or "-05'30'"; false for another end.
bool pdfDateOffset(const QString &end, int *seconds)
{
    if (end == QLatin1String("Z")) {
        *seconds = 0;
        return true;
    }
    static const QRegularExpression offset(QStringLiteral("^([+-])(\\d\\d)'(\\d\\d)'$"));
    const QRegularExpressionMatch match = offset.match(end);
    if (!match.hasMatch())
        return false;
    const int size = match.captured(2).toInt() * 3600 + match.captured(3).toInt() * 60;
    *seconds = match.captured(1) == QLatin1String("-") ? -size : size;
    return true;
}

// The document's width and height in pixels (CSS pixels, 96 to the inch) rather than the
// millimetres the generator writes, which readers convert at resolutions of their own.
QByteArray withPixelSize(const QByteArray &svg, const QSize &size)
{
    static const QRegularExpression dimensions(
        QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
    QString text = QString::fromUtf8(svg);
    const QRegularExpressionMatch match = dimensions.match(text);
    if (!match.hasMatch())
        return svg;
    text.replace(match.capturedStart(), match.capturedLength(),
        QStringLiteral("<svg width=\"%1px\" height=\"%2px\"").arg(size.width()).arg(size.height()));
    return text.toUtf8();
}

} // namespace

QByteArray VectorDrawing::withResolvedFonts(const QByteArray &svg)
{
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QString text = QString::fromUtf8(svg);
    QStringList requested;
    for (auto match = family.globalMatch(text); match.hasNext();)
        requested << match.next().captured(1);
    requested.removeDuplicates();
    for (const QString &name : std::as_const(requested)) {
        const QString used = QFontInfo(QFont(name)).family().toHtmlEscaped();
        if (!used.isEmpty() && used != name) {
            text.replace(QStringLiteral("font-family=\"%1\"").arg(name),
                QStringLiteral("font-family=\"%1\"").arg(used));
        }
    }
    return text.toUtf8();
}

QByteArray VectorDrawing::svg(const QSize &size, const Painting &painting)
{
    if (size.isEmpty())
        return QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(kResolution);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    if (!paintOn(&generator, painting))
        return QByteArray();
    return withResolvedFonts(withPixelSize(bytes, size));
}

QByteArray VectorDrawing::pdf(const QSize &size, const Painting &painting)
{
    if (size.isEmpty())
        return QByteArray();
    // The PDF engine reads glyph outlines through the font engines in a way that moves the
    // edges of glyphs painted into images afterwards. Font engines are kept per thread: in a
    // thread of its own the document leaves the images of the run as they would be without it.
    QByteArray bytes;
    std::unique_ptr<QThread> thread(
        QThread::create([&bytes, &size, &painting] { bytes = pdfHere(size, painting); }));
    thread->start();
    thread->wait();
    return bytes;
}

QByteArray VectorDrawing::pdfHere(const QSize &size, const Painting &painting)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(QSizeF(size) * kPointsPerPixel, QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!paintOn(&writer, painting))
            return QByteArray();
    }
    return SourceDate::isSet() && !SourceDate::isInvalid()
        ? withCreationDate(bytes, SourceDate::stampTime())
        : bytes;
}

QByteArray VectorDrawing::withCreationDate(const QByteArray &pdf, const QDateTime &time)
{
    static const QByteArray key("/CreationDate (D:");
    constexpr int kDigits = 14; // yyyyMMddhhmmss
    const qsizetype start = pdf.indexOf(key);
    const qsizetype close = start < 0 ? -1 : pdf.indexOf(')', start);
    if (close < 0 || close - start - key.size() <= kDigits)
        return pdf;
    const qsizetype digits = start + key.size();
    int offset = 0;
    const QString end = QString::fromLatin1(pdf.mid(digits + kDigits, close - digits - kDigits));
    if (!pdfDateOffset(end, &offset))
        return pdf;
    const QByteArray stamp
        = time.toOffsetFromUtc(offset).toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1();
    if (stamp.size() != kDigits)
        return pdf;
    QByteArray replaced = pdf;
    replaced.replace(digits, kDigits, stamp);
    return replaced;
}
