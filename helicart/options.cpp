#include "options.h"

namespace {

// Everything after the first "=", further "=" kept; only the first 100 sections count.
QString optionValue(const QString &argument)
{
    return argument.section(QLatin1Char('='), 1, 99);
}

// A decimal integer, or -1 (not given) for anything else.
int scaleValue(const QString &value)
{
    bool ok = false;
    const int number = value.toInt(&ok, 10);
    return ok ? number : -1;
}

bool isName(const QString &name, const char *option)
{
    return name.compare(QLatin1String(option), Qt::CaseInsensitive) == 0;
}

} // namespace

Options Options::parse(const QStringList &arguments)
{
    Options options;
    for (const QString &argument : arguments) {
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const QString value = optionValue(argument);
        if (isName(name, "--input"))
            options.input = value;
        else if (isName(name, "--output"))
            options.output = value;
        else if (isName(name, "--classes"))
            options.classes = value;
        else if (isName(name, "--scaleMax"))
            options.scaleMax = scaleValue(value);
        else if (isName(name, "--scaleGrid"))
            options.scaleGrid = scaleValue(value);
        else if (isName(name, "--lang")
            || isName(name, "--language")) // the usage text says "--language"
            options.language = value;
    }
    return options;
}

QByteArrayList Options::usageLines()
{
    return {
        "helicart usage: \r\n",
        "\r\n",
        " --input=solarRose.txt                 ... input file name\r\n",
        " --output=solarRose                    ... output file names prefix\r\n",
        " --classes=helicartClasses.xml     ... classes definition\r\n",
        " --scaleMax=5\t\t\t                ... scale maximum value\r\n",
        " --scaleGrid=1\t\t\t\t\t        ... number of scale grids\r\n",
        " --language=SLO\t\t\t\t        ... translations of texts\r\n",
    };
}

int Options::check(QString *message) const
{
    if (input.isEmpty()) {
        *message = QStringLiteral("Input file name not set.");
        return -2;
    }
    if (output.isEmpty()) {
        *message = QStringLiteral("Output file name not set.");
        return -3;
    }
    if (classes.isEmpty()) {
        *message = QStringLiteral("Classes file name not set.");
        return -4;
    }
    return 0;
}
