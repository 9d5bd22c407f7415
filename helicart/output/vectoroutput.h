#ifndef VECTOROUTPUT_H
#define VECTOROUTPUT_H

#include "outputformats.h"

#include <QList>
#include <QPicture>
#include <QSize>
#include <QString>
#include <QStringList>

class QFile;
class RosePainterInterface;

// The SVG and PDF files of a run: each rose and its table as vector drawings as soon as the
// column is drawn, and the combined drawing of all roses at the end. The chart paints itself
// onto the drawings' painters; nothing reaches them as a raster image.
class VectorOutput
{
public:
    // Writes files under prefix in the vector formats among formats (none: nothing is written);
    // a file that cannot be written is reported on diagnostics as a lost image is.
    VectorOutput(const QString &prefix, OutputFormats::Formats formats, QFile *diagnostics);

    // The tables' type at this ratio of the rose's height to the reference (see TableFit).
    void setTableTextScale(double scale) { m_tableTextScale = scale; }

    // Whether the run asks for a vector format at all.
    bool wanted() const { return !m_formats.isEmpty(); }

    // The rose of column k as the chart paints it, and its table (the chart's table data rows,
    // four caption lines first) at tableSize as the table image has it. False when a file
    // could not be written.
    bool writeColumn(
        RosePainterInterface *chart, int k, const QStringList &rows, const QSize &tableSize);

    // The chart's drawing over the combined drawing so far, as the combined image has it.
    void combine(RosePainterInterface *chart);

    // The combined drawing; true when there is none to write. A rose that could not be painted
    // into it leaves it unwritten and reported.
    bool writeCombined();

private:
    // Writes the drawing of size painted by paint in each vector format; name gives the file
    // name of a format.
    template <typename Paint, typename Name>
    bool writeDrawing(const QSize &size, const Paint &paint, const Name &name);
    bool writeTable(int k, const QStringList &rows, const QSize &tableSize);

    QString m_prefix;
    QList<OutputFormats::Format> m_formats;
    QFile *m_diagnostics;
    QList<QPicture> m_layers; // the roses of the combined drawing, first at the bottom
    QSize m_combinedSize;
    bool m_incomplete = false;
    double m_tableTextScale = 1.0;
};

#endif // VECTOROUTPUT_H
