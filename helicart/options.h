#ifndef OPTIONS_H
#define OPTIONS_H

#include "filelayout.h"
#include "grouping.h"
#include "outputformats.h"
#include "period.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

// The command-line options of the program. Each argument has the form name=value; names are
// compared without regard to ASCII case, and the last occurrence of a name wins. What the
// parser cannot use (an unknown argument, a value that is no whole number, half a fixed
// scale) is ignored and described in warnings: it never stops the run. The options that say
// how to read the input are different: read wrongly, a file would give a wrong picture, so a
// value they cannot use is an error (see errors) and no run starts.
struct Options
{
    // Range of --timeShift, in minutes: at most a day either way.
    static constexpr int kMaxTimeShift = 1440;
    // Range of --imageHeight, in pixels.
    static constexpr int kMinImageHeight = 100;
    static constexpr int kMaxImageHeight = 10000;

    QString input;
    QString output;
    QString classes = QStringLiteral("helicartClasses.xml");
    bool classesGiven = false; // --classes was on the command line
    int scaleMax = -1; // -1: not given
    int scaleGrid = -1; // -1: not given
    QString language;
    int timeShift = 0; // minutes added to each time of day before it picks its hour sector
    int imageHeight = -1; // height of the roses in pixels; -1: the chart's own
    OutputFormats::Formats formats = OutputFormats::Png; // the kinds of file written
    FileLayout layout; // how the input is read: --header, --station, --separator, ...
    Period period; // the lines that are data of the run: --from, --till, --months
    Grouping::Kind grouping = Grouping::Kind::None; // --by: a rose per column and group
    bool sheet = false; // --sheet: the roses of each column side by side on a common scale
    bool strict = false; // --strict: a run with a warning ends with ExitStatus::Warned
    bool help = false; // --help or -h: the help text, nothing else
    bool version = false; // --version: the version, nothing else
    QStringList arguments; // as given, for a record of the run
    QStringList warnings; // one text each, without the "helicart: warning: " prefix
    QStringList errors; // reading options that cannot be used; the run does not start

    // Options from arguments (without the program name), starting from the defaults.
    static Options parse(const QStringList &arguments);

    // The usage text written when the program is started without any argument, as the lines
    // the program writes one by one.
    static QByteArrayList usageLines();

    // What --help writes: every option with its meaning.
    static QString helpText();

    // What --version writes: the program's version and the Qt version it runs on.
    static QString versionText();

    // ExitStatus::Success when the required options are set; otherwise the exit status of the
    // first check that fails (InputNotSet, OutputNotSet, ClassesNotSet) with its message in
    // *message.
    int check(QString *message) const;

    // Whether name equals option, ignoring the case of ASCII letters only: no other
    // character is taken for a letter of an option name.
    static bool sameName(QStringView name, QLatin1StringView option);
};

#endif // OPTIONS_H
