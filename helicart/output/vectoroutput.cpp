#include "vectoroutput.h"

#include "imagetable.h"
#include "outputfile.h"
#include "outputnames.h"
#include "rosepainterinterface.h"
#include "tablefit.h"
#include "vectordrawing.h"

#include <QFile>
#include <QPainter>

namespace {

// The drawing of format: SVG or PDF.
QByteArray drawing(
    OutputFormats::Format format, const QSize &size, const VectorDrawing::Painting &painting)
{
    return format == OutputFormats::Svg ? VectorDrawing::svg(size, painting)
                                        : VectorDrawing::pdf(size, painting);
}

} // namespace

VectorOutput::VectorOutput(
    const QString &prefix, OutputFormats::Formats formats, QFile *diagnostics)
    : m_prefix(prefix)
    , m_diagnostics(diagnostics)
{
    for (const OutputFormats::Format format : { OutputFormats::Svg, OutputFormats::Pdf }) {
        if (formats & format)
            m_formats << format;
    }
}

template <typename Paint, typename Name>
bool VectorOutput::writeDrawing(const QSize &size, const Paint &paint, const Name &name)
{
    bool written = true;
    for (const OutputFormats::Format format : std::as_const(m_formats)) {
        const QString fileName = name(format);
        const QByteArray bytes = drawing(format, size, paint);
        // A drawing that could not be made is lost as a file that could not be written is.
        if (bytes.isEmpty() || !OutputFile::write(fileName, bytes)) {
            m_diagnostics->write(OutputFile::failureMessage(fileName));
            written = false;
        }
    }
    return written;
}

bool VectorOutput::writeColumn(
    RosePainterInterface *chart, int k, const QStringList &rows, const QSize &tableSize)
{
    const QSize size = chart->paintSize(QSize());
    bool written = writeDrawing(
        size, [chart](QPainter *painter) { chart->paint(painter, QSize()); },
        [this, k](OutputFormats::Format format) { return OutputNames::rose(m_prefix, k, format); });
    return writeTable(k, rows, tableSize) && written;
}

bool VectorOutput::writeTable(int k, const QStringList &rows, const QSize &tableSize)
{
    ImageTable table;
    TableFit::setUp(table, rows);
    const bool fits = TableFit::fitFont(table, tableSize, m_tableTextScale);
    const ImageTable::Layout layout = tableSize.isEmpty()
        ? table.layout(QImage::Format_ARGB32, 0, 0)
        : table.layout(QImage::Format_ARGB32, tableSize.width(), tableSize.height());
    const QSize natural = layout.imageSize;
    const QSize size = tableSize.isEmpty() ? natural : tableSize;
    const auto paint = [&](QPainter *painter) {
        painter->fillRect(QRect(QPoint(0, 0), size), Qt::white);
        // A table too large even in the smallest type is shrunk to the size, as its image is.
        if (!fits && !natural.isEmpty()) {
            painter->scale(
                double(size.width()) / natural.width(), double(size.height()) / natural.height());
        }
        // The image's one-pixel grid lines fill the pixels right of and below their
        // coordinates; a drawing strokes them across the coordinates. Half a pixel puts them on
        // the same pixels.
        painter->translate(0.5, 0.5);
        table.paint(painter, layout);
    };
    return writeDrawing(size, paint, [this, k](OutputFormats::Format format) {
        return OutputNames::table(m_prefix, k, format);
    });
}

void VectorOutput::combine(RosePainterInterface *chart)
{
    const QSize size = chart->paintSize(m_combinedSize);
    QPicture layer;
    QPainter painter;
    bool painted = !size.isEmpty() && painter.begin(&layer);
    if (painted) {
        painted = chart->paint(&painter, m_combinedSize);
        painter.end();
    }
    // A rose missing from the combined drawing would make it lie: it is not written then.
    m_incomplete |= !painted;
    if (!painted)
        return;
    m_layers << layer;
    m_combinedSize = size;
}

bool VectorOutput::writeCombined()
{
    if (m_layers.isEmpty() && !m_incomplete)
        return true;
    if (m_incomplete) {
        for (const OutputFormats::Format format : std::as_const(m_formats))
            m_diagnostics->write(
                OutputFile::failureMessage(OutputNames::combined(m_prefix, format)));
        return m_formats.isEmpty();
    }
    const auto paint = [this](QPainter *painter) {
        for (const QPicture &layer : std::as_const(m_layers))
            painter->drawPicture(0, 0, layer);
    };
    return writeDrawing(m_combinedSize, paint,
        [this](OutputFormats::Format format) { return OutputNames::combined(m_prefix, format); });
}
