#ifndef VECTORDRAWING_H
#define VECTORDRAWING_H

#include <QByteArray>

#include <functional>

class QDateTime;
class QPainter;
class QSize;

// Drawings as SVG or PDF documents in memory. The painter handed to the painting has its origin
// at the top left corner and counts in pixels of size, on a device of 96 dots per inch, as a
// painter on an image of that size does: fonts sized in points take the same room in both.
class VectorDrawing
{
public:
    using Painting = std::function<void(QPainter *painter)>;

    // Resolution of the drawings, in dots per inch: that of an image.
    static constexpr int kResolution = 96;

    // An SVG document of size (width, height and view box in pixels, the size in CSS pixels);
    // empty when size is empty.
    // Its texts name the font families they were laid out in (see withResolvedFonts).
    static QByteArray svg(const QSize &size, const Painting &painting);

    // A PDF document of one page of size (at kResolution, without margins); empty when size is
    // empty. When a fixed stamp time is asked for (see SourceDate), its dates are that time
    // (withDates) and its identifier, where it has one, comes from its content (withContentId),
    // so that two runs write the same bytes. The painting runs in a thread of its own (see
    // pdfHere) while the caller waits.
    static QByteArray pdf(const QSize &size, const Painting &painting);
    // The same in the calling thread, whose font engines the PDF engine then changes for the
    // images painted afterwards.
    static QByteArray pdfHere(const QSize &size, const Painting &painting);

    // svg with each font family that its texts ask for replaced by the family that this
    // system's font matching gives for it ("DejaVu Sans" for a "verdana" that is not
    // installed), so that a viewer draws the texts in the fonts whose measures placed them.
    static QByteArray withResolvedFonts(const QByteArray &svg);

    // pdf with the dates it was made and changed replaced by time: those of the document
    // information (/CreationDate, /ModDate) and those of the XMP metadata (xmp:CreateDate,
    // xmp:ModifyDate, xmp:MetadataDate). Each is written with the same offset from UTC as
    // before, so that no byte offset of the document moves; a date of another form stays.
    static QByteArray withDates(const QByteArray &pdf, const QDateTime &time);

    // pdf with its document identifier (the XMP metadata's xmpMM:DocumentID, which newer Qt
    // versions draw at random, and the same identifier in the trailer's /ID) replaced by a
    // name-based one derived from the rest of the document: equal documents get equal
    // identifiers, different ones different identifiers. Same length, only the bytes of the
    // identifier change; pdf as it is without one.
    static QByteArray withContentId(const QByteArray &pdf);
};

#endif // VECTORDRAWING_H
