#ifndef PERIODOPTIONS_H
#define PERIODOPTIONS_H

#include "grouping.h"
#include "layoutoptions.h"
#include "period.h"

#include <QStringList>

// The options that choose which lines of the input are data of the run (--from, --till,
// --months) and how they are grouped (--by), from the texts given on the command line. They
// say what the pictures show, so a value that cannot be used is an error: no run starts.
class PeriodOptions
{
public:
    struct Texts
    {
        LayoutOptions::Given from;
        LayoutOptions::Given till;
        LayoutOptions::Given months;
        LayoutOptions::Given by;
    };

    // Sets what texts say in *period and *grouping; what cannot be used is added to *errors.
    static void read(
        const Texts &texts, Period *period, Grouping::Kind *grouping, QStringList *errors);

private:
    PeriodOptions() = delete;
};

#endif // PERIODOPTIONS_H
