#include "vectordrawing.h"

#include "sourcedate.h"

#include <QBuffer>
#include <QDateTime>
#include <QFont>
#include <QFontInfo>
#include <QList>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSize>
#include <QSvgGenerator>
#include <QThread>
#include <QUuid>

#include <memory>
#include <utility>

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

// The offset from UTC of a date's end: "Z", or a sign with hours and minutes as pattern
// captures them ("+01'00'" in a PDF date, "-05:30" in an XMP one); false for another end.
bool dateOffset(const QString &end, const QRegularExpression &pattern, int *seconds)
{
    if (end == QLatin1String("Z")) {
        *seconds = 0;
        return true;
    }
    const QRegularExpressionMatch match = pattern.match(end);
    if (!match.hasMatch())
        return false;
    const int size = match.captured(2).toInt() * 3600 + match.captured(3).toInt() * 60;
    *seconds = match.captured(1) == QLatin1String("-") ? -size : size;
    return true;
}

// A kind of date in a PDF document: where it starts, its fields up to the seconds, the
// character that closes it and how the end between them gives its offset from UTC.
struct DateForm
{
    QByteArray key;
    QString format;
    char close;
    const QRegularExpression *offset; // sign, hours and minutes of the end that is not "Z"
};

// pdf with every date of form replaced by time, each with its own offset and length.
QByteArray withDatesOf(const QByteArray &pdf, const DateForm &form, const QDateTime &time)
{
    const qsizetype width = form.format.size() - form.format.count(QLatin1Char('\''));
    QByteArray result = pdf;
    for (qsizetype start = result.indexOf(form.key); start >= 0;
         start = result.indexOf(form.key, start + 1)) {
        const qsizetype fields = start + form.key.size();
        const qsizetype close = result.indexOf(form.close, fields);
        int offset = 0;
        if (close < 0 || close - fields <= width
            || !dateOffset(QString::fromLatin1(result.mid(fields + width, close - fields - width)),
                *form.offset, &offset))
            continue;
        const QByteArray stamp = time.toOffsetFromUtc(offset).toString(form.format).toLatin1();
        if (stamp.size() == width)
            result.replace(fields, width, stamp);
    }
    return result;
}

// The document's width and height in pixels (CSS pixels, 96 to the inch) rather than the
// millimetres the generator writes, which readers convert at resolutions of their own.
QByteArray withPixelSize(const QByteArray &svg, const QSize &size)
{
    // The svg element's first attributes, as the generator writes them; the document's bytes are
    // worked on as they are (a drawing is large, and this is on the drawing's way out).
    static const QByteArray start("<svg width=\"");
    const qsizetype at = svg.indexOf(start);
    const qsizetype widthEnd = at < 0 ? -1 : svg.indexOf('"', at + start.size());
    static const QByteArray between("\" height=\"");
    if (widthEnd < 0 || svg.mid(widthEnd, between.size()) != between)
        return svg;
    const qsizetype heightEnd = svg.indexOf('"', widthEnd + between.size());
    if (heightEnd < 0)
        return svg;
    QByteArray result = svg;
    result.replace(at, heightEnd + 1 - at,
        QStringLiteral("<svg width=\"%1px\" height=\"%2px\"")
            .arg(size.width())
            .arg(size.height())
            .toUtf8());
    return result;
}

} // namespace

QByteArray VectorDrawing::withResolvedFonts(const QByteArray &svg)
{
    static const QByteArray attribute("font-family=\"");
    QList<QByteArray> requested;
    for (qsizetype at = svg.indexOf(attribute); at >= 0; at = svg.indexOf(attribute, at)) {
        at += attribute.size();
        const qsizetype end = svg.indexOf('"', at);
        if (end < 0)
            break;
        const QByteArray name = svg.mid(at, end - at);
        if (!requested.contains(name))
            requested << name;
        at = end + 1;
    }
    QByteArray result = svg;
    for (const QByteArray &name : std::as_const(requested)) {
        const QByteArray used
            = QFontInfo(QFont(QString::fromUtf8(name))).family().toHtmlEscaped().toUtf8();
        if (!used.isEmpty() && used != name)
            result.replace(attribute + name + '"', attribute + used + '"');
    }
    return result;
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
    if (!SourceDate::isSet() || SourceDate::isInvalid())
        return bytes;
    return withContentId(withDates(bytes, SourceDate::stampTime()));
}

QByteArray VectorDrawing::withDates(const QByteArray &pdf, const QDateTime &time)
{
    const QString pdfFields = QStringLiteral("yyyyMMddhhmmss");
    const QString xmpFields = QStringLiteral("yyyy-MM-dd'T'hh:mm:ss");
    static const QRegularExpression pdfDateOffset(QStringLiteral("^([+-])(\\d\\d)'(\\d\\d)'$"));
    static const QRegularExpression xmpDateOffset(QStringLiteral("^([+-])(\\d\\d):(\\d\\d)$"));
    const DateForm forms[] = {
        { QByteArrayLiteral("/CreationDate (D:"), pdfFields, ')', &pdfDateOffset },
        { QByteArrayLiteral("/ModDate (D:"), pdfFields, ')', &pdfDateOffset },
        { QByteArrayLiteral("xmp:CreateDate=\""), xmpFields, '"', &xmpDateOffset },
        { QByteArrayLiteral("xmp:ModifyDate=\""), xmpFields, '"', &xmpDateOffset },
        { QByteArrayLiteral("xmp:MetadataDate=\""), xmpFields, '"', &xmpDateOffset },
    };
    QByteArray result = pdf;
    for (const DateForm &form : forms)
        result = withDatesOf(result, form, time);
    return result;
}

QByteArray VectorDrawing::withContentId(const QByteArray &pdf)
{
    static const QByteArray key("xmpMM:DocumentID=\"uuid:");
    constexpr qsizetype kUuidLength = 36; // 8-4-4-4-12 hexadecimal digits
    const qsizetype start = pdf.indexOf(key);
    if (start < 0)
        return pdf;
    const QByteArray text = pdf.mid(start + key.size(), kUuidLength);
    if (QUuid::fromString(QLatin1String(text)).isNull())
        return pdf;
    // The places of the identifier, as text and as the hexadecimal string of that text
    // (in either case), with a null identifier in them while the new one is derived.
    QList<std::pair<qsizetype, qsizetype>> places; // position, length
    for (const QByteArray &form : { text, text.toHex(), text.toHex().toUpper() }) {
        for (qsizetype at = pdf.indexOf(form); at >= 0; at = pdf.indexOf(form, at + form.size()))
            places.append({ at, form.size() });
    }
    const auto fill = [&places](QByteArray *bytes, const QByteArray &id) {
        const QByteArray hex = id.toHex();
        for (const auto &[at, length] : std::as_const(places))
            bytes->replace(at, length, length == id.size() ? id : hex);
    };
    QByteArray result = pdf;
    fill(&result, QUuid().toByteArray(QUuid::WithoutBraces));
    static const QUuid kNamespace
        = QUuid::createUuidV5(QUuid(), QByteArrayLiteral("helicart vector drawings"));
    fill(&result, QUuid::createUuidV5(kNamespace, result).toByteArray(QUuid::WithoutBraces));
    return result;
}
