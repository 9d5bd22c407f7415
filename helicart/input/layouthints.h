#ifndef LAYOUTHINTS_H
#define LAYOUTHINTS_H

#include "filelayout.h"

#include <QByteArrayList>
#include <QString>

// What would fit a file that does not fit the layout it is read with, told to the user as
// part of a warning: each function returns the hint ("... : try --OPTION"), or an empty text
// when it has none. A day and month order that the stamps leave open is never guessed.
namespace LayoutHints {

// A time stamp that the layout cannot read but another form can: the first time field
// quoted, and the --timeFormat to try.
QString stamp(const QString &field, const FileLayout &layout);

// Stamps that the layout reads in part while the rest look like month/day/year: the ones
// read are then read with the day and month swapped.
QString monthFirst(const QString &field, const FileLayout &layout);

// The first lines of a file read with tabs that hold no tab but semicolons or commas.
QString separator(const QByteArrayList &firstLines, const FileLayout &layout);

// A header of rows whose row 2 to 8 begins with a time stamp: the header is one line of labels.
QString header(const QByteArrayList &firstLines, const FileLayout &layout);

// A value that reads with a decimal comma, where the layout has none.
bool readsWithDecimalComma(QByteArrayView field);

} // namespace LayoutHints

#endif // LAYOUTHINTS_H
