#include "options.h"
#include "pluginsearch.h"
#include "solarrose.h"
#include "sourcedate.h"

#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QTranslator>

#include <unistd.h>

namespace {

QtMessageHandler startupHandler = nullptr;

// Qt's platform set-up reports conditions of the machine (such as a missing runtime folder)
// that are no concern of a batch run, whose standard error stream carries only its own
// message. Only what would end the process is passed on.
void quietStartup(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && startupHandler)
        startupHandler(type, context, message);
}

// Closes the diagnostics device (which flushes it and leaves the stream open) and passes
// the exit status on.
int finish(QFile *diagnostics, int status)
{
    diagnostics->close();
    return status;
}

// The value as it may appear within a one-line message: printable ASCII, at most 40
// characters, anything else shown as '?'.
QByteArray printable(const QByteArray &value)
{
    constexpr int kShown = 40;
    QByteArray shown = value.left(kShown);
    for (char &c : shown) {
        if (c < ' ' || c > '~')
            c = '?';
    }
    return value.size() > kShown ? shown + "..." : shown;
}

// Whoever sets SOURCE_DATE_EPOCH expects the same files from run to run; a value that holds
// no time cannot give them, and the run says so instead of stamping the current time unasked.
void warnAboutSourceDate(QFile *diagnostics)
{
    if (!SourceDate::isInvalid())
        return;
    diagnostics->write("helicart: warning: SOURCE_DATE_EPOCH \"" + printable(SourceDate::value())
        + "\" is not a whole number of seconds since 1970-01-01 00:00 UTC (0 to "
        + QByteArray::number(SourceDate::kLatest)
        + "); the images are stamped with the current time\n");
}

} // namespace

int main(int argc, char *argv[])
{
    // A batch program on servers without a display: text and painting still need a GUI
    // application object, which the offscreen platform provides anywhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startupHandler = qInstallMessageHandler(quietStartup);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(startupHandler);
    // The plug-ins trace their search through Qt's debug stream, which on this platform is
    // the standard error stream that scripts read for the program's one message. The trace
    // stays off unless asked for (QT_LOGGING_RULES="default.debug=true").
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    QFile diagnostics;
    if (!diagnostics.open(STDERR_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return -1;

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        for (const QByteArray &line : Options::usageLines())
            diagnostics.write(line);
        return finish(&diagnostics, -1);
    }

    const Options options = Options::parse(arguments.mid(1));
    if (!options.language.isEmpty()) {
        // Lives until the process ends; a file that does not load is not reported. The
        // working directory comes first, then the translations folder beside the program,
        // where an installed tree keeps them.
        auto *translator = new QTranslator;
        if (!translator->load(options.language))
            Q_UNUSED(translator->load(options.language,
                QCoreApplication::applicationDirPath() + QStringLiteral("/translations")));
        app.installTranslator(translator);
    }

    QString message;
    if (const int status = options.check(&message)) {
        diagnostics.write(message.toLocal8Bit());
        return finish(&diagnostics, status);
    }
    warnAboutSourceDate(&diagnostics);

    if (!PluginSearch::loadPlugin(
            QStringLiteral("compassplot"), &pluginLoader, PluginSearch::Helicart)) {
        SolarRose::reportPluginFailure();
        return finish(&diagnostics, SolarRose::kNoChart);
    }

    SolarRose solarRose;
    const int status = solarRose.run(&diagnostics, options.input, options.output, options.classes,
        options.scaleMax, options.scaleGrid);
    return finish(&diagnostics, status);
}
