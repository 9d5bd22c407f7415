#ifndef WARNINGS_H
#define WARNINGS_H

#include "classesdefinition.h"
#include "measurementfile.h"
#include "rosetallyinterface.h"

#include <QSet>
#include <QString>
#include <QStringList>

class QIODevice;

// Writes the program's warnings: one line each, "helicart: warning: " + text + "\n", on the
// diagnostics device. A warning says what the program ignored or replaced; it changes the
// exit status only with --strict. A text already written is not written again, so a condition
// met once per parameter column is told once.
class Warnings
{
public:
    // Counts each warning written into *tally, when given.
    explicit Warnings(QIODevice *device, int *tally = nullptr);
    Q_DISABLE_COPY(Warnings)

    // An empty text is no warning.
    void warn(const QString &text);
    void warn(const QStringList &texts);
    // The warnings written so far, and their texts in the order they were written.
    int count() const { return int(m_written.size()); }
    const QStringList &texts() const { return m_texts; }

    // The texts of the run's warnings; empty lists and strings when there is nothing to tell.
    // About the lines of the input file fileName, whose header and time range file has read:
    // text that is no UTF-8, time stamps that cannot be read, no data line, no parameter
    // column, a header that looks like data; each with what would fit, when something would.
    static QStringList aboutInput(const QString &fileName, const MeasurementFile &file);
    // About a parameter column without a single good measurement, and values that would read
    // with a decimal comma (when they are at least a tenth as many as the good ones).
    static QString aboutColumn(const QString &label, const MeasurementFile::ColumnCounts &counts);
    // About the output prefix: one that ends in "/", and a folder that does not exist or cannot
    // be written (no file can be written there).
    static QStringList aboutOutput(const QString &prefix);
    // About the good values of column label that the rose left out, lying in no class.
    static QString aboutOutsideClasses(
        const QString &label, qint64 allCount, const RoseTallyInterface::Tally &tally);
    // About the classes file fileName as read for label.
    static QStringList aboutClasses(
        const QString &fileName, const QString &label, const ClassesDefinition::Report &report);

    // About an image height (given, above 0) too low for the texts to fit in proportion.
    static QString aboutImageHeight(int imageHeight);

    // text with every control character written as an escape (\t, \n, \r or \xNN), so that
    // text taken from a file or an argument can neither break the one-line form nor steer a
    // terminal; longer texts are cut to maxLength characters and end in "...".
    static QString escaped(const QString &text, qsizetype maxLength = kMaxQuoted);
    // escaped(text, maxLength) in double quotation marks.
    static QString quoted(const QString &text, qsizetype maxLength = kMaxQuoted);

    // Length of a quote from a data file (a time field, a label, a colour), and of a name the
    // user gave or a message of the system, which are kept whole unless they are absurd.
    static constexpr qsizetype kMaxQuoted = 60;
    static constexpr qsizetype kMaxName = 4096;

private:
    QIODevice *m_device;
    int *m_tally;
    QSet<QString> m_written;
    QStringList m_texts;
};

#endif // WARNINGS_H
