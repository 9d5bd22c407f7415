#ifndef OPTIONS_H
#define OPTIONS_H

#include <QByteArrayList>
#include <QString>
#include <QStringList>

// The command-line options of the program. Each argument has the form name=value; names are
// compared without regard to case, unknown arguments are ignored, and the last occurrence of
// a name wins.
struct Options
{
    QString input;
    QString output;
    QString classes = QStringLiteral("helicartClasses.xml");
    int scaleMax = -1; // -1: not given
    int scaleGrid = -1; // -1: not given
    QString language;

    // Options from arguments (without the program name), starting from the defaults.
    static Options parse(const QStringList &arguments);

    // The usage text, as the lines the program writes one by one.
    static QByteArrayList usageLines();

    // 0 when the required options are set; otherwise the exit status of the first check
    // that fails (-2 input, -3 output, -4 classes) with its message in *message.
    int check(QString *message) const;
};

#endif // OPTIONS_H
