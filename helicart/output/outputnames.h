#ifndef OUTPUTNAMES_H
#define OUTPUTNAMES_H

#include "outputformats.h"

#include <QString>

// The names of a run's output files, all made here: prefix + "S000.png" the rose and
// prefix + "T000.png" the table of column k (at least three digits), prefix + ".png" the
// combined image; other formats take their own suffix. prefix + "C000.csv" holds the counts of
// column k.
class OutputNames
{
public:
    static QString rose(
        const QString &prefix, int k, OutputFormats::Format format = OutputFormats::Png);
    static QString table(
        const QString &prefix, int k, OutputFormats::Format format = OutputFormats::Png);
    static QString counts(const QString &prefix, int k);
    static QString combined(
        const QString &prefix, OutputFormats::Format format = OutputFormats::Png);
    // prefix + "_sheet.png": the sheet of small multiples.
    static QString sheet(const QString &prefix, OutputFormats::Format format = OutputFormats::Png);
};

#endif // OUTPUTNAMES_H
