#ifndef LAYOUTOPTIONS_H
#define LAYOUTOPTIONS_H

#include "filelayout.h"

#include <QString>
#include <QStringList>

// The options that say how an input file is laid out and which clock its hours follow, from
// the texts given on the command line to the layout the file is read with.
class LayoutOptions
{
public:
    struct Given
    {
        bool given = false;
        QString text;
    };
    // The texts of the reading options, as given (the last occurrence of each).
    struct Texts
    {
        Given header;
        Given station;
        Given separator;
        Given timeFormat;
        Given missing;
        Given timeZone;
        Given solarTime;
    };

    // Sets what texts say in *layout, for the file input (whose name is the station text of a
    // plain header by default); what cannot be used is added to *errors.
    static void read(
        const Texts &texts, const QString &input, FileLayout *layout, QStringList *errors);

private:
    LayoutOptions() = delete;
};

#endif // LAYOUTOPTIONS_H
